// BMP files of every common kind against the pixels another widely used
// decoder gives for them (tools/bmpcases.py writes both).
#include "imagelib/imagedecoder.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace vantor {
namespace {

const QString kFolder = QStringLiteral(VANTOR_TEST_DATA "/bmp");

std::vector<std::string> bmpNames() {
  std::vector<std::string> names;
  for (const QString &file : QDir(kFolder).entryList({"*.bmp"}, QDir::Files, QDir::Name))
    names.push_back(file.chopped(4).toStdString());
  return names;
}

class BmpReference : public ::testing::TestWithParam<std::string> {};

TEST_P(BmpReference, DecodesAsTheReference) {
  const QString name = QString::fromStdString(GetParam());
  QFile file(kFolder + "/" + name + ".bmp");
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QImage image = decodeImage(file.readAll());
  const QImage expected =
      QImage(kFolder + "/" + name + ".png").convertToFormat(QImage::Format_ARGB32);
  ASSERT_FALSE(expected.isNull());
  ASSERT_FALSE(image.isNull());
  ASSERT_EQ(image.size(), expected.size());
  const QImage actual = image.convertToFormat(QImage::Format_ARGB32);
  // Five or six bits widened to eight: decoders round differently.
  const int tolerance = name.startsWith("rgb16") ? 8 : 0;
  for (int y = 0; y < expected.height(); ++y) {
    for (int x = 0; x < expected.width(); ++x) {
      const QRgb a = actual.pixel(x, y), e = expected.pixel(x, y);
      ASSERT_LE(std::abs(qRed(a) - qRed(e)), tolerance) << x << "," << y;
      ASSERT_LE(std::abs(qGreen(a) - qGreen(e)), tolerance) << x << "," << y;
      ASSERT_LE(std::abs(qBlue(a) - qBlue(e)), tolerance) << x << "," << y;
      ASSERT_EQ(qAlpha(a), qAlpha(e)) << x << "," << y;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Files, BmpReference, ::testing::ValuesIn(bmpNames()),
                         [](const auto &info) {
                           std::string label = info.param;
                           std::replace(label.begin(), label.end(), '-', '_');
                           return label;
                         });

TEST(BmpReferenceFiles, AreAllThere) {
  EXPECT_EQ(bmpNames().size(), 30u);
}

} // namespace
} // namespace vantor
