#pragma once

#include "unziplib/extraction.h"
#include "unziplib/extractionjob.h"
#include "unziplib/handles.h"

#include <functional>
#include <vector>

namespace unziplib {

class ExtractionPlan;

// Decodes entries into their private files (or only checks them when
// testing). Each thread has its own: an archive handle and buffers of its own.
class EntryDecoder final {
public:
  // `stopped` is asked between the pieces of a long entry. Without
  // `sharedArchive` the decoder opens the archive itself when it first
  // needs it.
  EntryDecoder(const ExtractionOptions &options, const ExtractionPlan &plan,
               const TargetFolder &target, std::function<bool()> stopped,
               zip_t *sharedArchive = nullptr);

  // Nothing escapes: a failure stays with the job, and its file is dropped.
  void decode(Job &job);

private:
  void decodeSteps(Job &job);
  Failure readWhole(Job &job, bool &fellBack);
  Failure copyStored(Job &job, uint64_t offset);
  Failure readStream(Job &job);
  Failure checkAndDeliver(Job &job, const unsigned char *piece, size_t size, uint32_t &crc);
  Failure deliver(Job &job, const void *data, size_t size);

  const ExtractionOptions &options_;
  const ExtractionPlan &plan_;
  const TargetFolder &target_;
  std::function<bool()> stopped_;
  zip_t *archive_ = nullptr; // shared or own_
  ZipArchive own_;
  Inflater inflater_;
  ScratchBuffer in_, out_;
};

} // namespace unziplib
