#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace vantor::archive {

// One archive entry as its local file header describes it: the 26 bytes after
// the signature, in the header's order, then the name as stored.
struct ZipDirEntry {
  quint16 versionNeeded = 0;
  quint16 flags = 0;
  quint16 method = 0;
  quint16 modTime = 0; // DOS time
  quint16 modDate = 0; // DOS date
  quint32 crc32 = 0;
  quint32 compressedSize = 0;
  quint32 uncompressedSize = 0;
  quint16 nameLength = 0;
  quint16 extraLength = 0;
  QByteArray name; // 8-bit, with the archive's "/" separators

  // The data's real length: differs from compressedSize when the header left
  // it to a data descriptor or to a zip64 extra field.
  quint64 dataSize = 0;
  qint64 headerOffset = 0; // file position of the local header's signature

  static constexpr int kHeaderSize = 26;
  // Fills the 26 header fields from raw little-endian bytes.
  void setHeader(const uchar *raw);
};

} // namespace vantor::archive
