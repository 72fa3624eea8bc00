/* Stand-in unzip libraries for the extractor's tests. The recorder writes the
 * command record it gets, and the folder, to the file named by
 * VANTOR_FAKE_UNZIP_LOG and plays one callback of each kind; the others each
 * lack one entry point. */
#include "unziplib/unziplib.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static FILE *openLog(void) {
  const char *path = getenv("VANTOR_FAKE_UNZIP_LOG");
  return path ? fopen(path, "a") : NULL;
}

#if defined(FAKE_RECORDER)
static int32_t play(const UnzipCommand *c, FILE *log, int32_t action, int32_t code, int32_t size,
                    const char *text) {
  UnzipCallbackInfo info;
  memset(&info, 0, sizeof info);
  info.caller = c->caller;
  info.action = action;
  info.errorCode = code;
  info.fileSize = size;
  strncpy(info.text, text, sizeof info.text - 1);
  int32_t result = c->callback(&info);
  if (log)
    fprintf(log, "return%d=%d\n", action, result);
  return result;
}
#endif

static int32_t record(const UnzipCommand *c, const char *folder) {
  FILE *log = openLog();
  if (log) {
    fprintf(log, "called=1\nversion=%d\ncheck=%d\ntrace=%d\nreserved20=%d\npassword=%s\n",
            c->version, c->checkValue, c->trace, c->reserved20, c->password);
    fprintf(log, "test=%d\nreserved32=%d\nreserved36=%d\nreserved40=%d\nverbose=%d\n", c->test,
            c->reserved32, c->reserved36, c->reserved40, c->verbose);
    fprintf(log, "update=%d\nfreshen=%d\ndirnames=%d\noverwrite=%d\npatterns=%d\nzip=%s\n",
            c->update, c->freshen, c->directoryNames, c->overwrite, c->fileSpecCount,
            c->zipFilename);
    fprintf(log, "caller=%p\nfolder=%s\n", c->caller, folder);
    for (int32_t k = 0; k < c->fileSpecCount; ++k)
      fprintf(log, "pattern%d=%s\n", k, c->fileSpecs[k]);
    fflush(log);
  }
  int32_t result = 7;
#if defined(FAKE_RECORDER)
  play(c, log, UNZIP_ACTION_FILE_BEGINS, 0, 1234, "game.rom");
  play(c, log, UNZIP_ACTION_PROGRESS, 0, 0, "");
  play(c, log, UNZIP_ACTION_MESSAGE, 5, 0, "message text\r\n");
  play(c, log, 9, 6, 0, "other\n");
  play(c, log, UNZIP_ACTION_BATCH_END, 0, 0, "");
  result = 42;
#endif
  if (log)
    fclose(log);
  return result;
}

#if defined(FAKE_RECORDER) || defined(FAKE_NOVERSION) || defined(FAKE_NOINFOLDER)
int32_t UnzipExec(const UnzipCommand *c) {
  return record(c, "(current)");
}
#endif

#if defined(FAKE_RECORDER) || defined(FAKE_NOVERSION) || defined(FAKE_NOEXEC)
int32_t UnzipExecInFolder(const UnzipCommand *c, const char *folder) {
  return record(c, folder ? folder : "(null)");
}
#endif

#if defined(FAKE_RECORDER) || defined(FAKE_NOEXEC) || defined(FAKE_NOINFOLDER)
int32_t GetUnzipVersion(void) {
  return UNZIP_INTERFACE_VERSION;
}
#endif
