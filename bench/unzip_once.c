/* One extraction through the unzip library in a process of its own, so the
 * floor benchmark can measure its time and peak memory as it does a tool's:
 *   unzip_once ARCHIVE FOLDER EXPECTED_FILES
 * Exits with 0 when the library extracted the expected number of files. */
#include "unziplib/unziplib.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static int32_t UNZIP_CALL report(UnzipCallbackInfo *info) {
  if (info->action >= UNZIP_ACTION_MESSAGE && info->errorCode != UNZIP_OK)
    fprintf(stderr, "unziplib: %s\n", info->text);
  return 0;
}

int main(int argc, char **argv) {
  if (argc != 4 || strlen(argv[1]) >= UNZIP_PATH_SIZE) {
    fprintf(stderr, "usage: unzip_once ARCHIVE FOLDER EXPECTED_FILES\n");
    return 2;
  }
  static char archive[UNZIP_PATH_SIZE];
  strcpy(archive, argv[1]);
  UnzipCommand *command = calloc(1, sizeof *command);
  if (!command)
    return 2;
  command->version = UNZIP_INTERFACE_VERSION;
  command->callback = report;
  command->reserved40 = 1;
  command->directoryNames = 1;
  command->overwrite = 1;
  command->zipFilename = archive;
  command->checkValue = UNZIP_CHECK_VALUE;
  const int32_t files = UnzipExecInFolder(command, argv[2]);
  free(command);
  return files == atoi(argv[3]) ? 0 : 1;
}
