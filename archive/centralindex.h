#pragma once

#include "archive/bytesource.h"

#include <QHash>
#include <optional>

namespace vantor::archive {

// What an archive's central directory says about one entry.
struct CentralRecord {
  quint64 compressedSize = 0;
  quint64 uncompressedSize = 0;
  bool zip64 = false; // sizes or offset needed the zip64 extra field
};

// The central directory, keyed by the file position of each entry's local
// header. Local headers leave the sizes open when data descriptors follow the
// data, and zip64 entries keep them in an extra field; the central directory
// always has them. Offsets are corrected for data in front of the archive,
// also when a stub was put in front without adjusting them.
class CentralIndex final {
public:
  // Reads the index; an archive without a readable central directory gives an
  // empty index (the header walk then works without it).
  static CentralIndex read(ByteSource &source);

  std::optional<CentralRecord> find(qint64 localHeaderPos) const;
  // Position of the first local header the directory names, or -1.
  qint64 firstLocalHeader() const { return first_; }

private:
  qint64 first_ = -1;
  QHash<qint64, CentralRecord> records_;
};

} // namespace vantor::archive
