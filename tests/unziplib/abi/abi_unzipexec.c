/* UnzipExec extracts into the current folder: each archive of the table in a
 * folder of its own, entered first. Exit code 0 when every file is right. */
#include "abicases.h"

int main(void) {
  void *library = abiOpenLibrary();
  if (!library)
    return 1;
  UnzipExecFunction unzipExec = (UnzipExecFunction)dlsym(library, "UnzipExec");
  if (!unzipExec) {
    fprintf(stderr, "UnzipExec missing\n");
    return 1;
  }
  char root[] = "/tmp/vantor-abi-XXXXXX";
  if (!mkdtemp(root))
    return 1;
  int failures = 0;
  for (size_t i = 0; i < sizeof abiCases / sizeof abiCases[0]; ++i) {
    const AbiCase *c = &abiCases[i];
    char archive[4096], folder[4096], pathBuffer[UNZIP_PATH_SIZE];
    snprintf(archive, sizeof archive, "%s/case%zu.zip", root, i);
    snprintf(folder, sizeof folder, "%s/out%zu", root, i);
    if (abiWriteArchive(c, archive) != 0 || mkdir(folder, 0777) != 0 || chdir(folder) != 0) {
      fprintf(stderr, "%s: cannot prepare\n", c->label);
      return 1;
    }
    UnzipCommand *command = abiCommand(archive, pathBuffer);
    const int32_t result = unzipExec(command);
    free(command);
    if (result != abiFiles(c)) {
      fprintf(stderr, "%s: %d files extracted, expected %d\n", c->label, result, abiFiles(c));
      ++failures;
    }
    failures += abiCheckTree(c, folder);
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
