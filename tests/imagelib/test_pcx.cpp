#include "imagelib/pcxreader.h"
#include "pcxwriter.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace vantor {
namespace {

using test::PcxLayout;

QList<QRgb> rampPalette(int count, int seed) {
  QList<QRgb> colours;
  for (int i = 0; i < count; ++i)
    colours.append(
        qRgb((i * 37 + seed) & 255, (i * 91 + 2 * seed) & 255, (i * 53 + 3 * seed) & 255));
  return colours;
}

struct IndexedCase {
  const char *name;
  int bitsPerPixel;
  int planes;
  int width;
  int height;
  bool encoded;
  int extraBytesPerLine; // padding beyond the smallest even row
};

class PcxIndexed : public ::testing::TestWithParam<IndexedCase> {};

TEST_P(PcxIndexed, DecodesIndicesAndPalette) {
  const IndexedCase &c = GetParam();
  PcxLayout layout;
  layout.bitsPerPixel = c.bitsPerPixel;
  layout.planes = c.planes;
  layout.width = c.width;
  layout.height = c.height;
  layout.encoded = c.encoded;
  layout.bytesPerLine = test::minimalBytesPerLine(layout) + c.extraBytesPerLine;
  const int colours = 1 << (c.bitsPerPixel * c.planes);
  if (colours == 256)
    layout.trailingPalette = rampPalette(256, 5);
  else
    layout.headerPalette = rampPalette(colours, 11);
  auto index = [colours](int x, int y) { return (x * 7 + y * 3 + x * y) % colours; };

  const QImage image = decodePcx(test::pcxFile(layout, test::pcxIndexedRows(layout, index)));

  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.format(), QImage::Format_Indexed8);
  ASSERT_EQ(image.size(), QSize(c.width, c.height));
  const QList<QRgb> palette = colours == 256 ? layout.trailingPalette : layout.headerPalette;
  ASSERT_EQ(image.colorCount(), colours);
  for (int y = 0; y < c.height; ++y)
    for (int x = 0; x < c.width; ++x) {
      ASSERT_EQ(image.pixelIndex(x, y), index(x, y)) << x << "," << y;
      ASSERT_EQ(image.pixel(x, y), palette[index(x, y)]) << x << "," << y;
    }
}

INSTANTIATE_TEST_SUITE_P(Layouts, PcxIndexed,
                         ::testing::Values(IndexedCase{"mono", 1, 1, 21, 5, true, 0},
                                           IndexedCase{"monoRaw", 1, 1, 16, 3, false, 0},
                                           IndexedCase{"cga", 2, 1, 9, 4, true, 0},
                                           IndexedCase{"ega8", 1, 3, 11, 6, true, 0},
                                           IndexedCase{"ega16", 1, 4, 13, 7, true, 0},
                                           IndexedCase{"ega16Padded", 1, 4, 13, 7, true, 4},
                                           IndexedCase{"packed16", 4, 1, 15, 6, true, 0},
                                           IndexedCase{"vga256", 8, 1, 37, 9, true, 0},
                                           IndexedCase{"vga256Wide", 8, 1, 300, 2, true, 0},
                                           IndexedCase{"vga256Raw", 8, 1, 5, 5, false, 2}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(Pcx, DecodesTwentyFourBitPlanes) {
  for (const bool encoded : {true, false}) {
    PcxLayout layout;
    layout.planes = 3;
    layout.width = 19;
    layout.height = 8;
    layout.encoded = encoded;
    auto colour = [](int x, int y) { return qRgb(x * 13, y * 31, (x < 10) ? 0xC7 : x + y); };

    const QImage image = decodePcx(test::pcxFile(layout, test::pcxRgbRows(layout, colour)));

    ASSERT_FALSE(image.isNull()) << encoded;
    EXPECT_EQ(image.format(), QImage::Format_RGB888);
    ASSERT_EQ(image.size(), QSize(19, 8));
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 19; ++x)
        ASSERT_EQ(image.pixel(x, y), colour(x, y)) << x << "," << y;
  }
}

// Writers that encode the whole picture as one stream let runs cross lines.
TEST(Pcx, RunsMayCrossLines) {
  PcxLayout layout;
  layout.width = 4;
  layout.height = 3;
  layout.trailingPalette = rampPalette(256, 1);
  QByteArray file = test::pcxHeader(layout);
  file += QByteArray("\xC6\x09\xC6\x21", 4); // 6 x 9 then 6 x 0x21 over 12 pixels
  file += char(0x0C);
  for (int i = 0; i < 256; ++i)
    file += QByteArray(1, char(qRed(layout.trailingPalette[i]))) +
            char(qGreen(layout.trailingPalette[i])) + char(qBlue(layout.trailingPalette[i]));
  const QImage image = decodePcx(file);
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.pixelIndex(3, 0), 9);
  EXPECT_EQ(image.pixelIndex(1, 1), 9);
  EXPECT_EQ(image.pixelIndex(2, 1), 0x21);
  EXPECT_EQ(image.pixelIndex(3, 2), 0x21);
}

TEST(Pcx, PaletteFallbacks) {
  // 8 bits without the trailing palette: grey ramp.
  PcxLayout grey;
  grey.width = 3;
  grey.height = 1;
  QImage image = decodePcx(test::pcxFile(grey, QByteArray("\x00\x80\xFF\x00", 4)));
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.pixel(1, 0), qRgb(0x80, 0x80, 0x80));
  EXPECT_EQ(image.pixel(2, 0), qRgb(0xFF, 0xFF, 0xFF));

  // Monochrome with a zeroed header palette: black and white.
  PcxLayout mono;
  mono.bitsPerPixel = 1;
  mono.width = 2;
  mono.height = 1;
  image = decodePcx(test::pcxFile(mono, QByteArray("\x40\x00", 2)));
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.pixel(0, 0), qRgb(0, 0, 0));
  EXPECT_EQ(image.pixel(1, 0), qRgb(255, 255, 255));

  // Version 3 carries no palette: the EGA colours.
  PcxLayout ega;
  ega.version = 3;
  ega.bitsPerPixel = 4;
  ega.width = 2;
  ega.height = 1;
  ega.headerPalette = rampPalette(16, 3); // ignored
  image = decodePcx(test::pcxFile(ega, QByteArray("\x1E\x00", 2)));
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.pixel(0, 0), qRgb(0, 0, 0xAA));
  EXPECT_EQ(image.pixel(1, 0), qRgb(0xFF, 0xFF, 0x55));
}

QByteArray validEightBit() {
  PcxLayout layout;
  layout.width = 40;
  layout.height = 30;
  layout.trailingPalette = rampPalette(256, 9);
  return test::pcxFile(layout,
                       test::pcxIndexedRows(layout, [](int x, int y) { return (x ^ y) & 255; }));
}

QByteArray patched(QByteArray data, int at, QByteArray bytes) {
  data.replace(at, bytes.size(), bytes);
  return data;
}

struct BrokenCase {
  const char *name;
  std::function<QByteArray()> make;
};

void PrintTo(const BrokenCase &c, std::ostream *os) {
  *os << c.name;
}
void PrintTo(const IndexedCase &c, std::ostream *os) {
  *os << c.name;
}

class PcxBroken : public ::testing::TestWithParam<BrokenCase> {};

TEST_P(PcxBroken, GivesNullImage) {
  EXPECT_TRUE(decodePcx(GetParam().make()).isNull());
}

INSTANTIATE_TEST_SUITE_P(
    Files, PcxBroken,
    ::testing::Values(
        BrokenCase{"empty", [] { return QByteArray(); }},
        BrokenCase{"headerOnly", [] { return validEightBit().left(128); }},
        BrokenCase{"shortHeader", [] { return validEightBit().left(100); }},
        BrokenCase{"truncatedData", [] { return validEightBit().left(128 + 200); }},
        BrokenCase{"wrongMaker", [] { return patched(validEightBit(), 0, "\x0B"); }},
        BrokenCase{"unknownVersion", [] { return patched(validEightBit(), 1, "\x07"); }},
        BrokenCase{"unknownEncoding", [] { return patched(validEightBit(), 2, "\x02"); }},
        BrokenCase{"threeBitsPerPixel", [] { return patched(validEightBit(), 3, "\x03"); }},
        BrokenCase{"twoPlanesOfEight", [] { return patched(validEightBit(), 65, "\x02"); }},
        BrokenCase{"zeroPlanes", [] { return patched(validEightBit(), 65, QByteArray(1, 0)); }},
        BrokenCase{"xMaxBelowXMin",
                   [] { return patched(validEightBit(), 4, QByteArray("\x50\x00", 2)); }},
        BrokenCase{"rowTooShort",
                   [] { return patched(validEightBit(), 66, QByteArray("\x10\x00", 2)); }},
        BrokenCase{"hugeDimensions",
                   [] { return patched(validEightBit(), 8, "\xFF\xFF\xFF\xFF"); }},
        BrokenCase{"overSideLimit",
                   [] {
                     // 16385 x 1 fits the data's run-length bound but not the side limit.
                     PcxLayout l;
                     l.width = 16385;
                     return test::pcxFile(l, QByteArray(16386, '\0'));
                   }},
        BrokenCase{"moreRowsThanData",
                   [] {
                     // 1000 lines promised, every byte a run of 63: too few bytes.
                     PcxLayout l;
                     l.width = 1000;
                     l.height = 1000;
                     return test::pcxHeader(l) + QByteArray(2000, char(0xFF));
                   }},
        BrokenCase{"runPastEnd",
                   [] {
                     PcxLayout l;
                     l.width = 4;
                     l.height = 1;
                     return test::pcxHeader(l) + QByteArray("\xC9\x05", 2);
                   }},
        BrokenCase{"runMissingValue",
                   [] {
                     PcxLayout l;
                     l.width = 4;
                     l.height = 1;
                     return test::pcxHeader(l) + QByteArray("\x01\x02\xC2", 3);
                   }}),
    [](const auto &info) { return std::string(info.param.name); });

// Random damage to a valid file must never crash or read out of bounds
// (the sanitizer build checks the latter); what decodes must match its header.
TEST(Pcx, SurvivesRandomDamage) {
  const QByteArray valid = validEightBit();
  QRandomGenerator random(20261208);
  for (int round = 0; round < 3000; ++round) {
    QByteArray data = valid;
    const int edits = 1 + random.bounded(8);
    for (int e = 0; e < edits; ++e)
      data[random.bounded(int(data.size()))] = char(random.bounded(256));
    if (random.bounded(4) == 0)
      data.truncate(random.bounded(int(data.size())));
    const QImage image = decodePcx(data);
    if (image.isNull())
      continue;
    const auto *p = reinterpret_cast<const uchar *>(data.constData());
    EXPECT_EQ(image.width(), (p[8] | p[9] << 8) - (p[4] | p[5] << 8) + 1);
    EXPECT_EQ(image.height(), (p[10] | p[11] << 8) - (p[6] | p[7] << 8) + 1);
  }
}

TEST(Pcx, RecognisesHeader) {
  EXPECT_TRUE(looksLikePcx(validEightBit()));
  EXPECT_FALSE(looksLikePcx(QByteArray("\x0A\x05\x01\x08", 4)));
  EXPECT_FALSE(looksLikePcx(QByteArray(200, 'x')));
}

} // namespace
} // namespace vantor
