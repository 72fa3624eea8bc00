#include "imagelib/pcxreader.h"

#include "imagelib/imagelimits.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace vantor {
namespace {

constexpr qsizetype kHeaderSize = 128;
constexpr qsizetype kTrailingPaletteSize = 769; // 0x0C marker + 256 RGB triples
constexpr uchar kTrailingPaletteMarker = 0x0C;
constexpr int kMaxRunLength = 63;

// Version 3 files carry no palette; painters of that age assumed the EGA one.
constexpr std::array<QRgb, 16> kEgaPalette = {
    0xff000000, 0xff0000aa, 0xff00aa00, 0xff00aaaa, 0xffaa0000, 0xffaa00aa, 0xffaa5500, 0xffaaaaaa,
    0xff555555, 0xff5555ff, 0xff55ff55, 0xff55ffff, 0xffff5555, 0xffff55ff, 0xffffff55, 0xffffffff};

quint16 readLe16(const uchar *p) {
  return quint16(p[0] | (p[1] << 8));
}

struct PcxHeader {
  int version = 0;
  bool runLengthEncoded = false;
  int bitsPerPixel = 0; // per plane
  int planes = 0;
  int width = 0;
  int height = 0;
  int bytesPerLine = 0; // per plane

  bool isTrueColour() const { return bitsPerPixel == 8 && planes == 3; }
  int indexBits() const { return bitsPerPixel * planes; }
  qsizetype lineBytes() const { return qsizetype(bytesPerLine) * planes; }
};

bool supportedLayout(int bitsPerPixel, int planes) {
  switch (bitsPerPixel) {
  case 1:
    return planes >= 1 && planes <= 4;
  case 2:
  case 4:
    return planes == 1;
  case 8:
    return planes == 1 || planes == 3;
  default:
    return false;
  }
}

bool parseHeader(QByteArrayView data, PcxHeader &h) {
  if (data.size() < kHeaderSize)
    return false;
  const auto *p = reinterpret_cast<const uchar *>(data.data());
  if (p[0] != 0x0A)
    return false;
  h.version = p[1];
  if (h.version != 0 && h.version != 2 && h.version != 3 && h.version != 4 && h.version != 5)
    return false;
  if (p[2] > 1)
    return false;
  h.runLengthEncoded = p[2] == 1;
  h.bitsPerPixel = p[3];
  h.planes = p[65];
  if (!supportedLayout(h.bitsPerPixel, h.planes))
    return false;
  const int xMin = readLe16(p + 4), yMin = readLe16(p + 6);
  const int xMax = readLe16(p + 8), yMax = readLe16(p + 10);
  if (xMax < xMin || yMax < yMin)
    return false;
  h.width = xMax - xMin + 1;
  h.height = yMax - yMin + 1;
  h.bytesPerLine = readLe16(p + 66);
  return h.bytesPerLine >= (qint64(h.width) * h.bitsPerPixel + 7) / 8;
}

// Feeds decoded bytes line by line. A run may continue into the next line
// (many writers encode the picture as one stream), but not past the picture.
class PcxStream final {
public:
  PcxStream(const uchar *begin, const uchar *end, bool encoded)
      : pos_(begin), end_(end), encoded_(encoded) {}

  bool read(uchar *dst, qsizetype count) {
    if (!encoded_) {
      if (end_ - pos_ < count)
        return false;
      std::memcpy(dst, pos_, size_t(count));
      pos_ += count;
      return true;
    }
    while (count > 0) {
      if (runLeft_ > 0) {
        const qsizetype n = std::min<qsizetype>(runLeft_, count);
        std::memset(dst, runValue_, size_t(n));
        dst += n;
        count -= n;
        runLeft_ -= int(n);
        continue;
      }
      if (pos_ == end_)
        return false;
      const uchar b = *pos_++;
      if ((b & 0xC0) == 0xC0) {
        if (pos_ == end_)
          return false;
        runLeft_ = b & 0x3F;
        runValue_ = *pos_++;
      } else {
        *dst++ = b;
        --count;
      }
    }
    return true;
  }

  // A run that reaches beyond the last line means the counts are corrupt.
  bool endedCleanly() const { return runLeft_ == 0; }

private:
  const uchar *pos_;
  const uchar *end_;
  bool encoded_;
  int runLeft_ = 0;
  uchar runValue_ = 0;
};

QList<QRgb> headerPalette(const uchar *file, const PcxHeader &h) {
  const int colours = 1 << h.indexBits();
  QList<QRgb> table;
  table.reserve(colours);
  if (h.version == 3) {
    for (int i = 0; i < colours; ++i)
      table.append(kEgaPalette[size_t(i)]);
    return table;
  }
  const uchar *pal = file + 16;
  for (int i = 0; i < colours; ++i)
    table.append(qRgb(pal[i * 3], pal[i * 3 + 1], pal[i * 3 + 2]));
  // Monochrome files often leave the header palette zeroed: black on white.
  if (colours == 2 && table[0] == table[1])
    table = {qRgb(0, 0, 0), qRgb(255, 255, 255)};
  return table;
}

QList<QRgb> trailingPalette(QByteArrayView data) {
  QList<QRgb> table;
  table.reserve(256);
  const auto *file = reinterpret_cast<const uchar *>(data.data());
  const qsizetype at = data.size() - kTrailingPaletteSize;
  if (at >= kHeaderSize && file[at] == kTrailingPaletteMarker) {
    const uchar *pal = file + at + 1;
    for (int i = 0; i < 256; ++i)
      table.append(qRgb(pal[i * 3], pal[i * 3 + 1], pal[i * 3 + 2]));
  } else {
    // Without the palette the usual reading is a grey ramp.
    for (int i = 0; i < 256; ++i)
      table.append(qRgb(i, i, i));
  }
  return table;
}

inline int sampleAt(const uchar *row, int x, int bits) {
  switch (bits) {
  case 1:
    return (row[x >> 3] >> (7 - (x & 7))) & 1;
  case 2:
    return (row[x >> 2] >> (6 - 2 * (x & 3))) & 3;
  case 4:
    return (row[x >> 1] >> (4 - 4 * (x & 1))) & 15;
  default:
    return row[x];
  }
}

void unpackIndexedLine(const uchar *line, const PcxHeader &h, uchar *out) {
  if (h.planes == 1 && h.bitsPerPixel == 8) {
    std::memcpy(out, line, size_t(h.width));
    return;
  }
  for (int x = 0; x < h.width; ++x) {
    int index = 0;
    for (int plane = 0; plane < h.planes; ++plane)
      index |= sampleAt(line + qsizetype(plane) * h.bytesPerLine, x, h.bitsPerPixel)
               << (plane * h.bitsPerPixel);
    out[x] = uchar(index);
  }
}

void unpackTrueColourLine(const uchar *line, const PcxHeader &h, uchar *out) {
  const uchar *red = line;
  const uchar *green = line + h.bytesPerLine;
  const uchar *blue = line + 2 * qsizetype(h.bytesPerLine);
  for (int x = 0; x < h.width; ++x) {
    out[3 * x] = red[x];
    out[3 * x + 1] = green[x];
    out[3 * x + 2] = blue[x];
  }
}

} // namespace

bool looksLikePcx(QByteArrayView data) {
  PcxHeader header;
  return parseHeader(data, header);
}

QImage decodePcx(QByteArrayView data) {
  PcxHeader h;
  if (!parseHeader(data, h))
    return {};
  const int bytesPerPixel = h.isTrueColour() ? 3 : 1;
  if (!imageSizeAllowed(h.width, h.height, bytesPerPixel))
    return {};
  // Refuse headers that promise more than the data can hold before allocating.
  const qint64 body = data.size() - kHeaderSize;
  const qint64 needed = qint64(h.lineBytes()) * h.height;
  if (needed > body * (h.runLengthEncoded ? kMaxRunLength : 1))
    return {};

  QImage image(h.width, h.height,
               h.isTrueColour() ? QImage::Format_RGB888 : QImage::Format_Indexed8);
  if (image.isNull())
    return {};
  const auto *file = reinterpret_cast<const uchar *>(data.data());
  if (!h.isTrueColour())
    image.setColorTable(h.indexBits() == 8 ? trailingPalette(data) : headerPalette(file, h));

  PcxStream stream(file + kHeaderSize, file + data.size(), h.runLengthEncoded);
  std::vector<uchar> line(size_t(h.lineBytes()));
  for (int y = 0; y < h.height; ++y) {
    if (!stream.read(line.data(), h.lineBytes()))
      return {};
    if (h.isTrueColour())
      unpackTrueColourLine(line.data(), h, image.scanLine(y));
    else
      unpackIndexedLine(line.data(), h, image.scanLine(y));
  }
  if (!stream.endedCleanly())
    return {};
  return image;
}

} // namespace vantor
