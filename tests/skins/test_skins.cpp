#include "skins/skins.h"

#include <QImage>
#include <gtest/gtest.h>

namespace {

constexpr QRgb White = 0xFFFFFFFF;
constexpr QRgb Yellow = 0xFFFFFF00;

struct Art {
  const char *name;
  QSize size;
  int frames;
  QRgb mask; // 0: the picture has no mask colour of its own
};

class SkinArt : public ::testing::TestWithParam<Art> {};

// Sizes and frame counts the windows are laid out for; a mask colour marks
// the same pixels in every frame and never appears elsewhere by accident.
TEST_P(SkinArt, HasItsSizeAndOneOutlineInEveryFrame) {
  const Art &art = GetParam();
  const QImage image = vantor::skins::image(QString::fromLatin1(art.name));
  ASSERT_FALSE(image.isNull()) << art.name;
  EXPECT_EQ(image.size(), art.size);
  EXPECT_TRUE(image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_Indexed8)
      << image.format();
  if (!art.mask)
    return;
  const int h = image.height() / art.frames;
  int masked = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < image.width(); ++x) {
      const bool see = image.pixel(x, y) == art.mask;
      masked += see;
      for (int f = 1; f < art.frames; ++f)
        ASSERT_EQ(image.pixel(x, y + f * h) == art.mask, see) << art.name << " frame " << f + 1;
    }
  EXPECT_GT(masked, 0) << "the corners are see-through";
  EXPECT_EQ(image.pixel(0, 0), art.mask);
  EXPECT_NE(image.pixel(image.width() / 2, h / 2), art.mask);
}

INSTANTIATE_TEST_SUITE_P(
    Bitmaps, SkinArt,
    ::testing::Values(Art{"backsmall", {316, 340}, 1, Yellow},
                      Art{"backbig", {550, 340}, 1, Yellow}, Art{"exitall", {26, 78}, 3, White},
                      Art{"setup", {26, 78}, 3, White}, Art{"about", {26, 78}, 3, White},
                      Art{"preview", {26, 78}, 3, White}, Art{"dirback", {26, 78}, 3, White},
                      Art{"dirfoward", {26, 78}, 3, White}, Art{"snapback", {26, 78}, 3, White},
                      Art{"snapfwd", {26, 78}, 3, White}, Art{"exitsetup", {26, 78}, 3, White},
                      Art{"exitabout", {26, 78}, 3, White}, Art{"play", {114, 78}, 3, 0},
                      Art{"usedel", {114, 104}, 4, 0}, Art{"messbox", {258, 174}, 1, White},
                      Art{"butyes", {90, 82}, 2, White}, Art{"butno", {90, 82}, 2, White},
                      Art{"aboutart", {320, 146}, 1, 0}, Art{"setuptile", {128, 128}, 1, 0},
                      Art{"thumb", {13, 21}, 1, 0}, Art{"ruler", {16, 8}, 1, 0}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(SkinArt, UnmaskedButtonsNeverShowTheirMaskColours) {
  for (const char *name : {"play", "usedel"}) {
    const QImage image = vantor::skins::image(QString::fromLatin1(name));
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        ASSERT_NE(image.pixel(x, y) & 0xFFFFFF, 0x081818u) << name; // usedel's 0x181808
  }
}

TEST(SkinArt, RulerIsASixteenColourPalette) {
  const QImage ruler = vantor::skins::image(QStringLiteral("ruler"));
  EXPECT_EQ(ruler.format(), QImage::Format_Indexed8);
  EXPECT_LE(ruler.colorCount(), 16);
}

TEST(SkinArt, UnknownNameIsNull) {
  EXPECT_TRUE(vantor::skins::image(QStringLiteral("nope")).isNull());
}

} // namespace
