/* Extracts each archive of the table as an outside program would, through
 * the export the argument names: "UnzipExec" into the current folder (a
 * folder of its own per archive, entered first), or "UnzipExecInFolder" into
 * a folder it is given while the current folder, another one, stays empty.
 * Exit code 0 when every file is right. */
#include "abicases.h"

#include <dirent.h>

static int isEmptyFolder(const char *path) {
  DIR *dir = opendir(path);
  if (!dir)
    return 0;
  int entries = 0;
  struct dirent *entry;
  while ((entry = readdir(dir)) != NULL)
    entries += strcmp(entry->d_name, ".") != 0 && strcmp(entry->d_name, "..") != 0;
  closedir(dir);
  return entries == 0;
}

int main(int argc, char **argv) {
  const int inFolder = argc > 1 && strcmp(argv[1], "UnzipExecInFolder") == 0;
  const char *name = inFolder ? "UnzipExecInFolder" : "UnzipExec";
  void *library = abiOpenLibrary();
  if (!library)
    return 1;
  void *entry = dlsym(library, name);
  if (!entry) {
    fprintf(stderr, "%s missing\n", name);
    return 1;
  }
  UnzipExecFunction unzipExec = (UnzipExecFunction)entry;
  UnzipExecInFolderFunction unzipExecInFolder = (UnzipExecInFolderFunction)entry;
  char root[] = "/tmp/vantor-abi-XXXXXX";
  if (!mkdtemp(root))
    return 1;
  char current[4096];
  snprintf(current, sizeof current, "%s/current", root);
  if (inFolder && (mkdir(current, 0777) != 0 || chdir(current) != 0))
    return 1;
  int failures = 0;
  for (size_t i = 0; i < sizeof abiCases / sizeof abiCases[0]; ++i) {
    const AbiCase *c = &abiCases[i];
    char archive[4096], folder[4096], pathBuffer[UNZIP_PATH_SIZE];
    snprintf(archive, sizeof archive, "%s/case%zu.zip", root, i);
    snprintf(folder, sizeof folder, "%s/out%zu", root, i);
    if (abiWriteArchive(c, archive) != 0 || mkdir(folder, 0777) != 0 ||
        (!inFolder && chdir(folder) != 0)) {
      fprintf(stderr, "%s: cannot prepare\n", c->label);
      return 1;
    }
    UnzipCommand *command = abiCommand(archive, pathBuffer);
    const int32_t result = inFolder ? unzipExecInFolder(command, folder) : unzipExec(command);
    free(command);
    if (result != abiFiles(c)) {
      fprintf(stderr, "%s: %d files extracted, expected %d\n", c->label, result, abiFiles(c));
      ++failures;
    }
    failures += abiCheckTree(c, folder);
  }
  if (inFolder && !isEmptyFolder(current)) {
    fprintf(stderr, "written into the current folder\n");
    ++failures;
  }
  if (chdir("/") != 0)
    return 1;
  char command[4200];
  snprintf(command, sizeof command, "rm -rf '%s'", root);
  if (system(command) != 0)
    fprintf(stderr, "cannot remove %s\n", root);
  dlclose(library);
  return failures == 0 ? 0 : 1;
}
