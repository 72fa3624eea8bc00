#pragma once

#include "archive/bytesource.h"
#include "archive/centralindex.h"
#include "archive/descriptorsearch.h"
#include "archive/zipdirentry.h"

#include <QString>
#include <functional>
#include <optional>
#include <vector>

namespace vantor::archive {

// Reads an archive's entry list by walking its local file headers from the
// front. Throws StreamError on inconsistent headers after the first good
// entry; the entries read so far stay in `entries`.
class ZipHeaderWalk final {
public:
  static constexpr qint64 kScanLimit = 60000;
  static constexpr qint64 kSelfExtractorStart = 14000;

  // What the walk has to tell the user goes to `tell`; without it, in a box.
  explicit ZipHeaderWalk(ByteSource &source, std::function<void(const QString &text)> tell = {});

  // `selfExtractor`: the file is an ".EXE" whose stub is skipped.
  void run(bool selfExtractor);

  std::vector<ZipDirEntry> entries;
  qint64 firstHeaderOffset = 0;
  qint64 scanCount = 0;
  bool reported = false; // the user has been told that no entry was found

private:
  bool scanForHeader();
  // The local header's entry, or nothing when the header is cut short.
  bool readEntry(ZipDirEntry &entry);
  // The data length and whether a data descriptor follows; nothing when the
  // length cannot be found.
  std::optional<quint64> dataSize(const ZipDirEntry &entry, const QByteArray &extra, bool &zip64);
  void skipDescriptor(bool zip64);
  const CentralIndex &centralIndex();

  ByteSource &source_;
  std::function<void(const QString &text)> tell_;
  std::optional<CentralIndex> index_;
  DescriptorSearch descriptors_;
};

} // namespace vantor::archive
