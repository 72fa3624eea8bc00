#include "imagelib/imagedecoder.h"
#include "manyscans.h"

#include <QBuffer>
#include <QImageWriter>
#include <QtEndian>
#include <gtest/gtest.h>

namespace vantor {
namespace {

struct ScanCase {
  const char *label;
  int width, height;
  int scans; // 0: as written
  bool decodes;
};

void PrintTo(const ScanCase &c, std::ostream *os) {
  *os << c.label;
}

class JpegScans : public ::testing::TestWithParam<ScanCase> {};

// Each scan is decoded over the whole picture: a file of thousands of tiny
// scans would keep the program busy for many seconds.
TEST_P(JpegScans, RefusedWhenOutOfProportion) {
  const ScanCase &c = GetParam();
  QByteArray jpeg = test::progressiveJpeg(test::scanTestPicture(c.width, c.height));
  ASSERT_EQ(test::countScans(jpeg), 10);
  if (c.scans > 0)
    jpeg = test::withScans(jpeg, c.scans);
  ASSERT_EQ(test::countScans(jpeg), c.scans > 0 ? c.scans : 10);
  const QImage image = decodeImage(jpeg);
  EXPECT_EQ(!image.isNull(), c.decodes);
  if (c.decodes) {
    EXPECT_EQ(image.size(), QSize(c.width, c.height));
  }
}

INSTANTIATE_TEST_SUITE_P(Files, JpegScans,
                         ::testing::Values(ScanCase{"as_written", 64, 48, 0, true},
                                           ScanCase{"most_scans", 64, 48, 64, true},
                                           ScanCase{"one_scan_too_many", 64, 48, 65, false},
                                           ScanCase{"ten_thousand_scans", 64, 48, 10000, false},
                                           ScanCase{"large_as_written", 1024, 1024, 0, true},
                                           ScanCase{"large_many_scans", 1040, 1024, 64, false}),
                         [](const auto &info) { return std::string(info.param.label); });

QByteArray bmpOf(const QImage &image) {
  QByteArray data;
  QBuffer buffer(&data);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter(&buffer, "bmp").write(image);
  return data;
}

// The same file with its rows stored top row first and a negative height.
QByteArray topDown(const QByteArray &bmp) {
  const auto *p = reinterpret_cast<const uchar *>(bmp.constData());
  const quint32 pixels = qFromLittleEndian<quint32>(p + 10);
  const qint32 height = qFromLittleEndian<qint32>(p + 22);
  const qsizetype stride = (bmp.size() - pixels) / height;
  QByteArray out = bmp.left(pixels);
  qToLittleEndian<qint32>(-height, reinterpret_cast<uchar *>(out.data()) + 22);
  for (qint32 row = height - 1; row >= 0; --row)
    out += bmp.mid(pixels + row * stride, stride);
  return out;
}

TEST(TopDownBmp, DecodesLikeItsBottomUpTwin) {
  QImage truecolour = test::scanTestPicture(13, 7);
  QImage indexed(9, 5, QImage::Format_Indexed8);
  indexed.setColorTable({qRgb(0, 0, 0), qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255)});
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 9; ++x)
      indexed.setPixel(x, y, uint((x + y) % 4));
  for (const QImage &source : {truecolour, indexed}) {
    const QImage image = decodeImage(topDown(bmpOf(source)));
    ASSERT_FALSE(image.isNull());
    ASSERT_EQ(image.size(), source.size());
    for (int y = 0; y < source.height(); ++y)
      for (int x = 0; x < source.width(); ++x)
        ASSERT_EQ(image.pixel(x, y), source.pixel(x, y)) << x << "," << y;
  }
}

} // namespace
} // namespace vantor
