/* Vantor's unzip library: the one header shared by the library and its callers.
 *
 * Both records are plain C structs with natural alignment. Fields that hold a
 * handle or an address are pointer-sized, every other field is a 32-bit signed
 * integer, so a 32-bit build lays the command record out at 4-byte steps. */
#ifndef VANTOR_UNZIPLIB_H
#define VANTOR_UNZIPLIB_H

#include <stddef.h>
#include <stdint.h>

#if defined(_WIN32)
#define UNZIP_CALL __stdcall
#if defined(UNZIPLIB_BUILDING)
#define UNZIP_EXPORT __declspec(dllexport)
#else
#define UNZIP_EXPORT __declspec(dllimport)
#endif
#else
#define UNZIP_CALL
#if defined(UNZIPLIB_BUILDING)
#define UNZIP_EXPORT __attribute__((visibility("default")))
#else
#define UNZIP_EXPORT
#endif
#endif

#ifdef __cplusplus
extern "C" {
#endif

enum {
  UNZIP_INTERFACE_VERSION = 140,
  UNZIP_CHECK_VALUE = 7,
  UNZIP_MAX_FILE_SPECS = 4000,
  UNZIP_PATH_SIZE = 256,    /* archive path and each file specification, with the 0 */
  UNZIP_PASSWORD_SIZE = 81, /* at most 80 bytes and the 0 */
  UNZIP_TEXT_SIZE = 512     /* callback text, with the 0 */
};

/* Callback actions. */
enum {
  UNZIP_ACTION_FILE_BEGINS = 1, /* text = entry name, fileSize = its size */
  UNZIP_ACTION_PROGRESS = 2,    /* one step of the current file */
  UNZIP_ACTION_BATCH_END = 3,   /* the last callback of a call */
  UNZIP_ACTION_MESSAGE = 4      /* text = message, errorCode = its code (0 = information) */
};

/* Error codes carried by messages. */
enum {
  UNZIP_OK = 0,
  UNZIP_ERR_RECORD = 10,   /* the command record was refused */
  UNZIP_ERR_ARCHIVE = 11,  /* the archive cannot be opened or read */
  UNZIP_ERR_NAME = 12,     /* an unsafe or over-long entry name */
  UNZIP_ERR_CRC = 13,      /* data does not match its checksum */
  UNZIP_ERR_PASSWORD = 14, /* missing or wrong password */
  UNZIP_ERR_WRITE = 15,    /* a file or folder could not be written */
  UNZIP_ERR_DATA = 16,     /* damaged or unsupported entry data */
  UNZIP_ERR_CANCELLED = 17 /* the callback asked to stop */
};

typedef struct UnzipCallbackInfo {
  void *ownerWindow;          /* 0 */
  void *caller;               /* 4: the command record's caller reference */
  int32_t reserved8;          /* 8: 0 */
  int32_t reserved12;         /* 12: 0 */
  int32_t action;             /* 16 */
  int32_t errorCode;          /* 20 */
  int32_t fileSize;           /* 24: with UNZIP_ACTION_FILE_BEGINS, clamped to INT32_MAX */
  char text[UNZIP_TEXT_SIZE]; /* 28: zero-terminated */
} UnzipCallbackInfo;

/* Returns 1 to ask the library to stop, else 0. */
typedef int32_t(UNZIP_CALL *UnzipCallback)(UnzipCallbackInfo *info);

typedef struct UnzipCommand {
  void *ownerWindow;                           /* 0 */
  void *caller;                                /* 4: handed back in every callback */
  int32_t version;                             /* 8: UNZIP_INTERFACE_VERSION */
  UnzipCallback callback;                      /* 12 */
  int32_t trace;                               /* 16 */
  int32_t reserved20;                          /* 20: 0 */
  const char *password;                        /* 24: UNZIP_PASSWORD_SIZE bytes, zero-terminated */
  int32_t test;                                /* 28: verify checksums, write nothing */
  int32_t reserved32;                          /* 32: 0 */
  int32_t reserved36;                          /* 36: 0 */
  int32_t reserved40;                          /* 40: 1 */
  int32_t verbose;                             /* 44 */
  int32_t update;                              /* 48: newer or missing files */
  int32_t freshen;                             /* 52: only existing, older files */
  int32_t directoryNames;                      /* 56: keep the entries' folders */
  int32_t overwrite;                           /* 60 */
  int32_t fileSpecCount;                       /* 64: 0 = every entry */
  const char *zipFilename;                     /* 68: UNZIP_PATH_SIZE bytes, zero-terminated */
  int32_t checkValue;                          /* 72: UNZIP_CHECK_VALUE */
  const char *fileSpecs[UNZIP_MAX_FILE_SPECS]; /* 76: each UNZIP_PATH_SIZE bytes */
} UnzipCommand;                                /* 16076 bytes */

#if !defined(__cplusplus)
#define UNZIP_STATIC_ASSERT _Static_assert
#else
#define UNZIP_STATIC_ASSERT static_assert
#endif

#if UINTPTR_MAX == 0xFFFFFFFFu
UNZIP_STATIC_ASSERT(offsetof(UnzipCommand, caller) == 4, "caller");
UNZIP_STATIC_ASSERT(offsetof(UnzipCommand, version) == 8, "version");
UNZIP_STATIC_ASSERT(offsetof(UnzipCommand, callback) == 12, "callback");
UNZIP_STATIC_ASSERT(offsetof(UnzipCommand, trace) == 16, "trace");
UNZIP_STATIC_ASSERT(offsetof(UnzipCommand, password) == 24, "password");
UNZIP_STATIC_ASSERT(offsetof(UnzipCommand, test) == 28, "test");
UNZIP_STATIC_ASSERT(offsetof(UnzipCommand, reserved40) == 40, "reserved40");
UNZIP_STATIC_ASSERT(offsetof(UnzipCommand, verbose) == 44, "verbose");
UNZIP_STATIC_ASSERT(offsetof(UnzipCommand, update) == 48, "update");
UNZIP_STATIC_ASSERT(offsetof(UnzipCommand, freshen) == 52, "freshen");
UNZIP_STATIC_ASSERT(offsetof(UnzipCommand, directoryNames) == 56, "directoryNames");
UNZIP_STATIC_ASSERT(offsetof(UnzipCommand, overwrite) == 60, "overwrite");
UNZIP_STATIC_ASSERT(offsetof(UnzipCommand, fileSpecCount) == 64, "fileSpecCount");
UNZIP_STATIC_ASSERT(offsetof(UnzipCommand, zipFilename) == 68, "zipFilename");
UNZIP_STATIC_ASSERT(offsetof(UnzipCommand, checkValue) == 72, "checkValue");
UNZIP_STATIC_ASSERT(offsetof(UnzipCommand, fileSpecs) == 76, "fileSpecs");
UNZIP_STATIC_ASSERT(sizeof(UnzipCommand) == 16076, "size");
UNZIP_STATIC_ASSERT(offsetof(UnzipCallbackInfo, caller) == 4, "caller");
UNZIP_STATIC_ASSERT(offsetof(UnzipCallbackInfo, action) == 16, "action");
UNZIP_STATIC_ASSERT(offsetof(UnzipCallbackInfo, errorCode) == 20, "errorCode");
UNZIP_STATIC_ASSERT(offsetof(UnzipCallbackInfo, fileSize) == 24, "fileSize");
UNZIP_STATIC_ASSERT(offsetof(UnzipCallbackInfo, text) == 28, "text");
#endif

/* Extracts (or tests) the archive the record names into the calling process's
 * current folder; nothing is written outside it. Returns the number of files
 * extracted, or in test mode the number that passed; 0 when the record is
 * refused. */
UNZIP_EXPORT int32_t UNZIP_CALL UnzipExec(const UnzipCommand *command);

/* The same into `folder`, an absolute path that is not a symbolic link, so a
 * caller never has to change the process's current folder. Nothing is written
 * when the folder cannot be opened. Since library version 1.41. */
UNZIP_EXPORT int32_t UNZIP_CALL UnzipExecInFolder(const UnzipCommand *command, const char *folder);

/* The interface version this library speaks (UNZIP_INTERFACE_VERSION). */
UNZIP_EXPORT int32_t UNZIP_CALL GetUnzipVersion(void);

typedef int32_t(UNZIP_CALL *UnzipExecFunction)(const UnzipCommand *command);
typedef int32_t(UNZIP_CALL *UnzipExecInFolderFunction)(const UnzipCommand *command,
                                                       const char *folder);
typedef int32_t(UNZIP_CALL *GetUnzipVersionFunction)(void);

#ifdef __cplusplus
}
#endif

#endif
