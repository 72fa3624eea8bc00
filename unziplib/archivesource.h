#pragma once

#include <zip.h>

#include <cstdint>
#include <string>
#include <vector>

namespace unziplib {

// The archive file as the zip reader sees it: from `shift` on, and with the
// UTF-8 bit cleared in the flag fields at the file positions `hiddenFlags`.
// Null on failure, with `error` set.
zip_source_t *createArchiveSource(const std::string &path, uint64_t shift,
                                  const std::vector<uint64_t> &hiddenFlags, zip_error_t *error);

} // namespace unziplib
