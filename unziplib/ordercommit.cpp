#include "unziplib/ordercommit.h"

#include "unziplib/reporter.h"
#include "unziplib/targetfolder.h"

#include <algorithm>

namespace unziplib {
namespace {

constexpr uint64_t kProgressStep = 1u << 20;

} // namespace

bool OrderCommit::commit(Job &job) {
  const std::string target = job.path.joined();
  switch (job.kind) {
  case Job::Skipped:
    verboseNote(options_, reporter_, "   skipping: " + job.name + " (" + job.note + ")");
    return !reporter_.stopRequested();
  case Job::Refused:
    return !reporter_.message(UNZIP_ERR_NAME, "skipping: " + job.name + " (" + job.note + ")");
  case Job::Folder: {
    std::string error;
    if (!target_.makeFolders(job.path, error))
      return !reporter_.message(UNZIP_ERR_WRITE, "cannot create " + target + ": " + error);
    verboseNote(options_, reporter_, "   creating: " + target + "/");
    return !reporter_.stopRequested();
  }
  case Job::Work:
    break;
  }
  return commitFile(job);
}

bool OrderCommit::commitFile(Job &job) {
  if (reporter_.fileBegins(job.name, job.size))
    return false;
  for (const std::string &warning : job.path.warnings)
    if (reporter_.message(UNZIP_ERR_NAME, job.name + ": " + warning))
      return false;
  traceNote(options_, reporter_,
            job.name + ": method " + std::to_string(job.method) + ", " +
                std::to_string(job.compressedSize) + " -> " + std::to_string(job.size) + " bytes");
  if (job.failure) {
    const std::string verb = options_.test ? "testing " : "extracting ";
    return !reporter_.message(job.failure.code,
                              "error " + verb + job.name + ": " + job.failure.text);
  }
  const uint64_t steps = std::max<uint64_t>(1, (job.size + kProgressStep - 1) / kProgressStep);
  for (uint64_t s = 0; s < steps; ++s)
    if (reporter_.step())
      return false; // the file is dropped: it is still under its private name
  if (options_.test) {
    verboseNote(options_, reporter_, "    testing: " + job.name + "   OK");
    ++count_;
    return !reporter_.stopRequested();
  }
  std::string error;
  if (!job.temp.commit(job.path.components.back(), error))
    return !reporter_.message(UNZIP_ERR_WRITE, "error extracting " + job.name + ": " + error);
  job.temp.discard();
  ++count_;
  verboseNote(options_, reporter_,
              (job.method == ZIP_CM_STORE ? " extracting: " : "  inflating: ") + job.path.joined());
  return !reporter_.stopRequested();
}

} // namespace unziplib
