#include "imagelib/imagedecoder.h"

#include "imagelib/imagelimits.h"
#include "imagelib/pcxreader.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <algorithm>
#include <cstdlib>

namespace vantor {
namespace {

// A snapshot file beyond this is not a snapshot.
constexpr qint64 kMaxFileBytes = qint64(128) * 1024 * 1024;

quint32 readLe32(const uchar *p) {
  return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}

const uchar *bytes(QByteArrayView data) {
  return reinterpret_cast<const uchar *>(data.data());
}

// The reader fills a cut-off JPEG with grey and calls it a success; a
// complete one ends its last scan with an end-of-image marker.
bool jpegComplete(QByteArrayView data) {
  const QByteArrayView sos("\xFF\xDA", 2);
  const QByteArrayView eoi("\xFF\xD9", 2);
  const qsizetype lastScan = data.lastIndexOf(sos);
  return lastScan >= 0 && data.indexOf(eoi, lastScan + 2) >= 0;
}

// What a cheap pass over a JPEG's markers tells before it is decoded.
struct JpegOutline {
  int scans = 0;
  qint64 width = 0, height = 0; // of the first frame
};

// Steps from segment to segment; inside a scan's data a 0xFF byte is either
// stuffed (0xFF00), a restart marker or the next segment's marker.
JpegOutline outlineJpeg(QByteArrayView data) {
  const uchar *p = bytes(data);
  const qsizetype size = data.size();
  JpegOutline outline;
  qsizetype pos = 2;
  while (pos < size) {
    if (p[pos++] != 0xFF)
      continue;
    while (pos < size && p[pos] == 0xFF)
      ++pos;
    if (pos >= size)
      break;
    const uchar marker = p[pos++];
    if (marker == 0x00 || marker == 0x01 || marker == 0xD8 || (marker >= 0xD0 && marker <= 0xD7))
      continue; // no length follows
    if (marker == 0xD9 || size - pos < 2)
      break;
    const qsizetype length = p[pos] << 8 | p[pos + 1];
    const bool frame =
        marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
    if (frame && outline.width == 0 && length >= 7 && size - pos >= 7) {
      outline.height = p[pos + 3] << 8 | p[pos + 4];
      outline.width = p[pos + 5] << 8 | p[pos + 6];
    }
    if (marker == 0xDA)
      ++outline.scans;
    pos += std::max<qsizetype>(length, 2);
  }
  return outline;
}

// Whether decoding stays in proportion: each scan walks the whole picture.
bool jpegWorkAllowed(QByteArrayView data) {
  const JpegOutline outline = outlineJpeg(data);
  return outline.scans <= kMaxJpegScans &&
         qint64(std::max(outline.scans, 1)) * outline.width * outline.height <= kMaxJpegScanPixels;
}

// The reader shows a cut-off GIF as far as it got. Walks the block
// structure: complete when every block present is whole and at least one
// picture was found (a missing trailer is forgiven).
bool gifComplete(QByteArrayView data) {
  constexpr qsizetype kScreenHeader = 13;
  if (data.size() < kScreenHeader)
    return false;
  const uchar *p = bytes(data);
  const qsizetype size = data.size();
  auto tableSize = [](uchar flags) {
    return (flags & 0x80) ? 3 * (qsizetype(2) << (flags & 7)) : 0;
  };
  qsizetype pos = kScreenHeader + tableSize(p[10]);
  // Skips a chain of sub-blocks; false when it is cut off.
  auto skipSubBlocks = [&]() {
    while (pos < size) {
      const uchar length = p[pos++];
      if (length == 0)
        return true;
      pos += length;
    }
    return false;
  };
  bool picture = false;
  while (pos < size) {
    switch (p[pos]) {
    case 0x3B:
      return picture;
    case 0x21:
      pos += 2;
      if (!skipSubBlocks())
        return false;
      break;
    case 0x2C:
      if (size - pos < 10)
        return false;
      pos += 10 + tableSize(p[pos + 9]) + 1; // descriptor, local table, code size
      if (!skipSubBlocks())
        return false;
      picture = true;
      break;
    default:
      return false;
    }
  }
  return picture && pos == size;
}

// The reader also accepts a BMP whose pixel rows are cut short. For the
// uncompressed kinds the rows' size follows from the header.
bool bmpComplete(QByteArrayView data) {
  constexpr qsizetype kFileHeader = 14;
  if (data.size() < kFileHeader + 12)
    return false;
  const uchar *p = bytes(data);
  const qint64 pixelsAt = readLe32(p + 10);
  const quint32 infoSize = readLe32(p + 14);
  qint64 width = 0, height = 0;
  int bitsPerPixel = 0;
  quint32 compression = 0;
  if (infoSize == 12) {
    width = p[18] | (p[19] << 8);
    height = p[20] | (p[21] << 8);
    bitsPerPixel = p[24] | (p[25] << 8);
  } else if (infoSize >= 40 && data.size() >= kFileHeader + 40) {
    width = qint32(readLe32(p + 18));
    height = qint32(readLe32(p + 22));
    bitsPerPixel = p[28] | (p[29] << 8);
    compression = readLe32(p + 30);
  } else {
    return false;
  }
  height = height < 0 ? -height : height;
  if (!imageSizeAllowed(width, height, 4) || pixelsAt >= data.size())
    return false;
  constexpr quint32 kRgb = 0, kBitFields = 3, kAlphaBitFields = 6;
  if (compression != kRgb && compression != kBitFields && compression != kAlphaBitFields)
    return true; // run-length kinds: the reader checks its own input
  const qint64 stride = (width * bitsPerPixel + 31) / 32 * 4;
  return pixelsAt + stride * height <= data.size();
}

QImage readWithQt(const QByteArray &data, const char *format) {
  QByteArray copy = data; // QBuffer wants a non-const array; this shares it
  QBuffer buffer(&copy);
  if (!buffer.open(QIODevice::ReadOnly))
    return {};
  QImageReader reader(&buffer, format);
  reader.setAutoDetectImageFormat(false);
  reader.setDecideFormatFromContent(false);
  const QSize size = reader.size();
  // A top-down BMP reports a negative height.
  if (!imageSizeAllowed(size.width(), std::abs(qint64(size.height())), 4))
    return {};
  QImage image;
  if (!reader.read(&image))
    return {};
  return image;
}

} // namespace

ImageKind detectImageKind(QByteArrayView data) {
  if (data.startsWith(QByteArrayView("\xFF\xD8\xFF", 3)))
    return ImageKind::Jpeg;
  if (data.startsWith("GIF87a") || data.startsWith("GIF89a"))
    return ImageKind::Gif;
  if (data.startsWith("BM"))
    return ImageKind::Bmp;
  if (looksLikePcx(data))
    return ImageKind::Pcx;
  return ImageKind::Unknown;
}

QImage decodeImage(const QByteArray &data) {
  switch (detectImageKind(data)) {
  case ImageKind::Jpeg:
    return jpegComplete(data) && jpegWorkAllowed(data) ? readWithQt(data, "jpeg") : QImage();
  case ImageKind::Gif:
    return gifComplete(data) ? readWithQt(data, "gif") : QImage();
  case ImageKind::Bmp:
    return bmpComplete(data) ? readWithQt(data, "bmp") : QImage();
  case ImageKind::Pcx:
    return decodePcx(data);
  case ImageKind::Unknown:
    break;
  }
  return {};
}

QImage decodeImageFile(const QString &path) {
  // Only regular files: a pipe or device under a picture's name would block.
  if (!QFileInfo(path).isFile())
    return {};
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxFileBytes)
    return {};
  const QByteArray data = file.read(kMaxFileBytes + 1);
  if (data.size() > kMaxFileBytes)
    return {};
  return decodeImage(data);
}

} // namespace vantor
