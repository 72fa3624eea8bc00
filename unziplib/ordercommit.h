#pragma once

#include "unziplib/extraction.h"
#include "unziplib/extractionjob.h"

#include <cstdint>

namespace unziplib {

class Reporter;
class TargetFolder;

// Tells the caller about finished entries in archive order and only then gives
// each file its real name, so a stop leaves no file the caller did not hear of.
class OrderCommit final {
public:
  OrderCommit(const ExtractionOptions &options, const TargetFolder &target, Reporter &reporter)
      : options_(options), target_(target), reporter_(reporter) {}

  // False when the caller asked to stop.
  bool commit(Job &job);
  // Files written (or, when testing, entries that passed).
  int32_t count() const { return count_; }

private:
  bool commitFile(Job &job);

  const ExtractionOptions &options_;
  const TargetFolder &target_;
  Reporter &reporter_;
  int32_t count_ = 0;
};

} // namespace unziplib
