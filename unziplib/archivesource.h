#pragma once

#include "unziplib/handles.h"

#include <zip.h>

#include <cstdint>
#include <string>
#include <vector>

namespace unziplib {

// The archive file as the zip reader sees it: from `shift` on, and with the
// UTF-8 bit cleared in the flag fields at the file positions `hiddenFlags`.
// Null on failure, with `error` set.
ZipSource createArchiveSource(const std::string &path, uint64_t shift,
                              const std::vector<uint64_t> &hiddenFlags, zip_error_t *error);

// The archive opened read-only through that source; null with `error` set.
ZipArchive openArchive(const std::string &path, uint64_t shift,
                       const std::vector<uint64_t> &hiddenFlags, std::string &error);

// The zip reader's text for an error.
std::string zipErrorText(zip_error_t *error);

} // namespace unziplib
