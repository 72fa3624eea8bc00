#include "archive/centralindex.h"

#include "unziplib/archivelayout.h"

#include <limits>

namespace vantor::archive {

CentralIndex CentralIndex::read(ByteSource &source) {
  CentralIndex index;
  const unziplib::ArchiveLayout layout = unziplib::readArchiveLayout(
      [&source](uint64_t offset, void *data, size_t count) {
        return offset <= uint64_t(std::numeric_limits<qint64>::max()) &&
               source.readAt(qint64(offset), static_cast<char *>(data), qint64(count));
      },
      uint64_t(source.size()));
  // Offsets are stored as written; data put in front of the archive without
  // adjusting them shifts them all by the same amount.
  for (const unziplib::RawEntry &entry : layout.entries) {
    if (entry.localHeader > uint64_t(std::numeric_limits<qint64>::max()) - layout.shift)
      continue;
    const qint64 pos = qint64(entry.localHeader + layout.shift);
    index.records_.insert(pos, {entry.compressedSize, entry.uncompressedSize, entry.zip64});
    if (index.first_ < 0 || pos < index.first_)
      index.first_ = pos;
  }
  return index;
}

std::optional<CentralRecord> CentralIndex::find(qint64 localHeaderPos) const {
  const auto it = records_.constFind(localHeaderPos);
  if (it == records_.constEnd())
    return std::nullopt;
  return *it;
}

} // namespace vantor::archive
