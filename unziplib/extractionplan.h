#pragma once

#include "unziplib/extraction.h"
#include "unziplib/extractionjob.h"
#include "unziplib/handles.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace unziplib {

struct ArchiveLayout;
class Reporter;
class TargetFolder;

// Opens the archive and decides, before anything is written, what becomes of
// each entry: decoded, made a folder, refused or skipped.
class ExtractionPlan final {
public:
  ExtractionPlan(const ExtractionOptions &options, const TargetFolder &target, Reporter &reporter)
      : options_(options), target_(target), reporter_(reporter) {}

  // False, with the reason reported, when the archive or the folder cannot
  // be opened.
  bool make();

  int fd() const { return fd_.get(); }
  uint64_t fileSize() const { return fileSize_; }
  uint64_t shift() const { return shift_; }
  const std::vector<uint64_t> &hiddenFlags() const { return hiddenFlags_; }
  zip_t *archive() const { return archive_.get(); }
  const std::vector<std::unique_ptr<Job>> &jobs() const { return jobs_; }

private:
  void planEntry(zip_uint64_t index, const ArchiveLayout &layout, bool useLayout);
  bool decideExisting(Job &job);

  const ExtractionOptions &options_;
  const TargetFolder &target_;
  Reporter &reporter_;
  UniqueFd fd_;
  uint64_t fileSize_ = 0;
  uint64_t shift_ = 0;
  std::vector<uint64_t> hiddenFlags_;
  ZipArchive archive_;
  std::vector<std::unique_ptr<Job>> jobs_;
  std::map<std::string, long long> planned_; // targets earlier entries write
};

} // namespace unziplib
