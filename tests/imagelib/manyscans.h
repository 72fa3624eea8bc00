#pragma once

// Progressive JPEG files with as many scans as asked: the shortest scan of a
// picture Qt writes is repeated before the end marker. The decoder warns
// about the progression and goes on, decoding every copy.

#include <QBuffer>
#include <QImage>
#include <QImageWriter>

namespace vantor::test {

inline QImage scanTestPicture(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      image.setPixel(x, y, qRgb((x * 7) & 255, (y * 3) & 255, (x * y) & 255));
  return image;
}

inline QByteArray progressiveJpeg(const QImage &image) {
  QByteArray data;
  QBuffer buffer(&data);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, "jpeg");
  writer.setProgressiveScanWrite(true);
  writer.setQuality(90);
  writer.write(image);
  return data;
}

// Qt writes no segment that could hold the bytes FF DA: each is a scan.
inline int countScans(const QByteArray &jpeg) {
  int scans = 0;
  for (qsizetype at = jpeg.indexOf("\xFF\xDA"); at >= 0; at = jpeg.indexOf("\xFF\xDA", at + 2))
    ++scans;
  return scans;
}

// `jpeg` with its shortest scan repeated before the end marker until it has
// `scans` scans.
inline QByteArray withScans(const QByteArray &jpeg, int scans) {
  const qsizetype end = jpeg.lastIndexOf("\xFF\xD9");
  QByteArray scan;
  for (qsizetype at = jpeg.indexOf("\xFF\xDA"); at >= 0;) {
    const qsizetype next = jpeg.indexOf("\xFF\xDA", at + 2);
    const QByteArray candidate = jpeg.mid(at, (next >= 0 ? next : end) - at);
    if (scan.isEmpty() || candidate.size() < scan.size())
      scan = candidate;
    at = next;
  }
  QByteArray out = jpeg.left(end);
  out.reserve(jpeg.size() + scan.size() * qsizetype(scans));
  for (int n = countScans(jpeg); n < scans; ++n)
    out += scan;
  return out + jpeg.mid(end);
}

} // namespace vantor::test
