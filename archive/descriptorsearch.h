#pragma once

#include "archive/bytesource.h"

#include <map>
#include <optional>

namespace vantor::archive {

// Finds the data descriptor of an entry whose local header leaves the size
// open: the first descriptor signature after the data whose compressed-size
// field equals its distance from the data's start. Entries are asked for in
// file order, and the file is read forward only once, noting every signature
// by the data start it would close; a walk over any number of such headers
// thus stays linear in the file size.
class DescriptorSearch final {
public:
  explicit DescriptorSearch(ByteSource &source) : source_(source) {}

  // The data length of the entry whose local header starts at `headerPos` and
  // whose data starts at `dataStart`; nothing when no descriptor fits.
  // `zip64`: the descriptor's sizes are 64 bits wide.
  std::optional<quint64> find(qint64 headerPos, qint64 dataStart, bool zip64);

private:
  static constexpr qint64 kChunk = 1 << 20;
  static constexpr qint64 kMinHeader = 30;

  // Notes the signatures in the next chunk; false at the end of the file.
  bool scanChunk();
  void note(qint64 signaturePos);

  ByteSource &source_;
  qint64 lastHeader_ = -1;
  qint64 scanned_ = 0; // every signature starting before this is noted
  // Data start -> first signature closing it, with 32- and 64-bit sizes.
  std::map<qint64, qint64> first32_;
  std::map<qint64, qint64> first64_;
};

} // namespace vantor::archive
