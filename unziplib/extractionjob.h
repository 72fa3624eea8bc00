#pragma once

#include "unziplib/entrypath.h"
#include "unziplib/targetfolder.h"
#include "unziplib/unziplib.h"

#include <zip.h>

#include <cstdint>
#include <string>

namespace unziplib {

struct Failure {
  int32_t code = UNZIP_OK;
  std::string text;
  explicit operator bool() const { return code != UNZIP_OK; }
};

// One entry of the archive on its way to the caller: planned, decoded by
// some thread, then reported in archive order.
struct Job {
  enum Kind { Work, Folder, Refused, Skipped } kind = Work;
  zip_uint64_t index = 0;
  std::string name;
  EntryPath path;
  uint64_t size = 0;
  uint64_t compressedSize = 0;
  uint32_t crc = 0;
  uint16_t method = 0;
  bool encrypted = false;
  uint16_t encryptionMethod = ZIP_EM_NONE;
  long long modified = 0;
  bool whole = false;     // inflated in one piece from the file
  uint64_t headerPos = 0; // local header, shift applied
  std::string note;       // why refused or skipped

  // Filled by the thread that ran the job.
  bool taken = false;
  bool done = false;
  Failure failure;
  TempFile temp;
};

} // namespace unziplib
