#pragma once

#include "unziplib/reporter.h"

#include <string>
#include <vector>

namespace unziplib {

struct ExtractionOptions {
  std::string archive;
  std::string password;              // empty = none
  std::vector<std::string> patterns; // empty = every entry
  bool test = false;
  bool overwrite = false;
  bool freshen = false;
  bool update = false;
  bool keepFolders = false;
  bool verbose = false;
  bool trace = false;
};

class TargetFolder;

// Extracts (or tests) the archive into `target`. Entries are
// decompressed by a few threads at once; the callback hears about them from
// the calling thread, in archive order. Returns the number of files written
// (or, when testing, the number that passed).
int32_t runExtraction(const ExtractionOptions &options, const TargetFolder &target,
                      Reporter &reporter);

// Lines the caller hears only when it asked for them.
void traceNote(const ExtractionOptions &options, Reporter &reporter, const std::string &text);
void verboseNote(const ExtractionOptions &options, Reporter &reporter, const std::string &text);

} // namespace unziplib
