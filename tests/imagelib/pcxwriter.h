#pragma once

// Builds PCX files byte by byte for the tests, independent of the reader.

#include <QByteArray>
#include <QList>
#include <QRgb>
#include <functional>

namespace vantor::test {

struct PcxLayout {
  int version = 5;
  int bitsPerPixel = 8; // per plane
  int planes = 1;
  int width = 1;
  int height = 1;
  int bytesPerLine = 0; // 0: the smallest even count that holds a plane row
  bool encoded = true;
  QList<QRgb> headerPalette;   // up to 16 colours
  QList<QRgb> trailingPalette; // 256 colours, written after a 0x0C marker
};

inline int minimalBytesPerLine(const PcxLayout &l) {
  const int bytes = (l.width * l.bitsPerPixel + 7) / 8;
  return bytes + (bytes & 1);
}

inline QByteArray pcxHeader(const PcxLayout &l) {
  QByteArray h(128, '\0');
  auto put16 = [&h](int at, int v) {
    h[at] = char(v & 0xFF);
    h[at + 1] = char((v >> 8) & 0xFF);
  };
  h[0] = 0x0A;
  h[1] = char(l.version);
  h[2] = l.encoded ? 1 : 0;
  h[3] = char(l.bitsPerPixel);
  put16(4, 0);
  put16(6, 0);
  put16(8, l.width - 1);
  put16(10, l.height - 1);
  for (int i = 0; i < l.headerPalette.size() && i < 16; ++i) {
    h[16 + 3 * i] = char(qRed(l.headerPalette[i]));
    h[17 + 3 * i] = char(qGreen(l.headerPalette[i]));
    h[18 + 3 * i] = char(qBlue(l.headerPalette[i]));
  }
  h[65] = char(l.planes);
  put16(66, l.bytesPerLine ? l.bytesPerLine : minimalBytesPerLine(l));
  put16(68, 1);
  return h;
}

// Run-length encodes one stream; bytes of 0xC0 and above always go as runs.
inline QByteArray pcxEncode(const QByteArray &raw) {
  QByteArray out;
  for (qsizetype i = 0; i < raw.size();) {
    qsizetype run = 1;
    while (i + run < raw.size() && raw[i + run] == raw[i] && run < 63)
      ++run;
    const auto value = uchar(raw[i]);
    if (run > 1 || value >= 0xC0) {
      out.append(char(0xC0 | run));
      out.append(char(value));
    } else {
      out.append(char(value));
    }
    i += run;
  }
  return out;
}

// Raw plane rows for a palette picture whose pixel (x, y) has `index(x, y)`.
inline QByteArray pcxIndexedRows(const PcxLayout &l, const std::function<int(int, int)> &index) {
  const int bpl = l.bytesPerLine ? l.bytesPerLine : minimalBytesPerLine(l);
  QByteArray raw;
  for (int y = 0; y < l.height; ++y) {
    for (int plane = 0; plane < l.planes; ++plane) {
      QByteArray row(bpl, '\0');
      for (int x = 0; x < l.width; ++x) {
        const int sample = (index(x, y) >> (plane * l.bitsPerPixel)) & ((1 << l.bitsPerPixel) - 1);
        const int bit = x * l.bitsPerPixel;
        const int shift = 8 - l.bitsPerPixel - bit % 8;
        row[bit / 8] = char(uchar(row[bit / 8]) | (sample << shift));
      }
      raw += row;
    }
  }
  return raw;
}

// Raw plane rows for a 24-bit picture: a red, a green and a blue row per line.
inline QByteArray pcxRgbRows(const PcxLayout &l, const std::function<QRgb(int, int)> &colour) {
  const int bpl = l.bytesPerLine ? l.bytesPerLine : minimalBytesPerLine(l);
  QByteArray raw;
  for (int y = 0; y < l.height; ++y) {
    for (int channel = 0; channel < 3; ++channel) {
      QByteArray row(bpl, '\0');
      for (int x = 0; x < l.width; ++x) {
        const QRgb c = colour(x, y);
        row[x] = char(channel == 0 ? qRed(c) : channel == 1 ? qGreen(c) : qBlue(c));
      }
      raw += row;
    }
  }
  return raw;
}

inline QByteArray pcxFile(const PcxLayout &l, const QByteArray &raw) {
  QByteArray file = pcxHeader(l) + (l.encoded ? pcxEncode(raw) : raw);
  if (!l.trailingPalette.isEmpty()) {
    file.append(char(0x0C));
    for (int i = 0; i < 256; ++i) {
      const QRgb c = i < l.trailingPalette.size() ? l.trailingPalette[i] : 0;
      file.append(char(qRed(c)));
      file.append(char(qGreen(c)));
      file.append(char(qBlue(c)));
    }
  }
  return file;
}

} // namespace vantor::test
