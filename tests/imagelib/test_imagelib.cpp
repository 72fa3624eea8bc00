#include "imagelib/imagedecoder.h"
#include "imagelib/imagelib.h"
#include "pcxwriter.h"
#include "support/tempdir.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <gtest/gtest.h>

#include <cstdlib>

namespace vantor {
namespace {

using test::TempDir;

// A GIF whose LZW stream holds only literal codes, with a clear code often
// enough that the code width never grows. Qt cannot write GIF files.
QByteArray makeGif(const QList<QRgb> &palette4, int width, int height,
                   const std::function<int(int, int)> &index) {
  QByteArray gif("GIF89a");
  auto put16 = [&gif](int v) {
    gif.append(char(v & 0xFF));
    gif.append(char(v >> 8));
  };
  put16(width);
  put16(height);
  gif.append(char(0x80 | 0x10 | 0x01)); // global table of 4 colours
  gif.append('\0');
  gif.append('\0');
  for (int i = 0; i < 4; ++i) {
    gif.append(char(qRed(palette4[i])));
    gif.append(char(qGreen(palette4[i])));
    gif.append(char(qBlue(palette4[i])));
  }
  gif.append(',');
  put16(0);
  put16(0);
  put16(width);
  put16(height);
  gif.append('\0');
  constexpr int kMinCodeSize = 2, kClear = 4, kEnd = 5, kWidth = 3;
  gif.append(char(kMinCodeSize));
  QByteArray codes;
  quint32 acc = 0;
  int bits = 0;
  auto putCode = [&](int code) {
    acc |= quint32(code) << bits;
    bits += kWidth;
    while (bits >= 8) {
      codes.append(char(acc & 0xFF));
      acc >>= 8;
      bits -= 8;
    }
  };
  int sinceClear = 2;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      if (sinceClear == 2) {
        putCode(kClear);
        sinceClear = 0;
      }
      putCode(index(x, y));
      ++sinceClear;
    }
  putCode(kEnd);
  if (bits > 0)
    codes.append(char(acc & 0xFF));
  for (qsizetype at = 0; at < codes.size(); at += 255) {
    const QByteArray block = codes.mid(at, 255);
    gif.append(char(block.size()));
    gif.append(block);
  }
  gif.append('\0');
  gif.append(';');
  return gif;
}

const QList<QRgb> kFour = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 255, 0)};

int quadrant(int x, int y, int size) {
  return (x >= size / 2 ? 1 : 0) + (y >= size / 2 ? 2 : 0);
}

QImage quadrantImage(int size) {
  QImage image(size, size, QImage::Format_RGB32);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x)
      image.setPixel(x, y, kFour[quadrant(x, y, size)]);
  return image;
}

QByteArray encodeWithQt(const QImage &image, const char *format, int quality = -1) {
  QByteArray data;
  QBuffer buffer(&data);
  buffer.open(QIODevice::WriteOnly);
  EXPECT_TRUE(image.save(&buffer, format, quality));
  return data;
}

void expectNear(QRgb actual, QRgb expected, int tolerance, const char *where) {
  EXPECT_LE(std::abs(qRed(actual) - qRed(expected)), tolerance) << where;
  EXPECT_LE(std::abs(qGreen(actual) - qGreen(expected)), tolerance) << where;
  EXPECT_LE(std::abs(qBlue(actual) - qBlue(expected)), tolerance) << where;
}

TEST(ImageDecoder, DecodesGif) {
  auto index = [](int x, int y) { return (x / 3 + y) % 4; };
  const QImage image = decodeImage(makeGif(kFour, 17, 11, index));
  ASSERT_FALSE(image.isNull());
  ASSERT_EQ(image.size(), QSize(17, 11));
  for (int y = 0; y < 11; ++y)
    for (int x = 0; x < 17; ++x)
      ASSERT_EQ(image.pixel(x, y), kFour[index(x, y)]) << x << "," << y;
}

TEST(ImageDecoder, GifWithoutTrailerStillDecodes) {
  const QByteArray gif = makeGif(kFour, 5, 5, [](int x, int) { return x % 4; });
  const QImage image = decodeImage(gif.chopped(1));
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.pixel(3, 4), kFour[3]);
}

TEST(ImageDecoder, DecodesJpegApproximately) {
  const QImage image = decodeImage(encodeWithQt(quadrantImage(64), "jpeg", 95));
  ASSERT_FALSE(image.isNull());
  ASSERT_EQ(image.size(), QSize(64, 64));
  for (int q = 0; q < 4; ++q) {
    const int x = (q & 1) ? 48 : 16, y = (q & 2) ? 48 : 16;
    expectNear(image.pixel(x, y), kFour[q], 12, "quadrant centre");
  }
}

TEST(ImageDecoder, DecodesBmpInTwoDepths) {
  const QImage truecolour = quadrantImage(20);
  QImage indexed(13, 7, QImage::Format_Indexed8);
  indexed.setColorTable(kFour);
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 13; ++x)
      indexed.setPixel(x, y, uint((x + 2 * y) % 4));

  for (const QImage &source : {truecolour, indexed}) {
    const QImage image = decodeImage(encodeWithQt(source, "bmp"));
    ASSERT_FALSE(image.isNull());
    ASSERT_EQ(image.size(), source.size());
    if (source.format() == QImage::Format_Indexed8) {
      EXPECT_EQ(image.format(), QImage::Format_Indexed8);
    }
    for (int y = 0; y < source.height(); ++y)
      for (int x = 0; x < source.width(); ++x)
        ASSERT_EQ(image.pixel(x, y), source.pixel(x, y)) << x << "," << y;
  }
}

TEST(ImageDecoder, KindComesFromContent) {
  EXPECT_EQ(detectImageKind(encodeWithQt(quadrantImage(8), "jpeg")), ImageKind::Jpeg);
  EXPECT_EQ(detectImageKind(encodeWithQt(quadrantImage(8), "bmp")), ImageKind::Bmp);
  EXPECT_EQ(detectImageKind(makeGif(kFour, 2, 2, [](int, int) { return 0; })), ImageKind::Gif);
  test::PcxLayout pcx;
  EXPECT_EQ(detectImageKind(test::pcxFile(pcx, QByteArray(2, '\0'))), ImageKind::Pcx);
  EXPECT_EQ(detectImageKind(encodeWithQt(quadrantImage(8), "png")), ImageKind::Unknown);
  EXPECT_EQ(detectImageKind("plain text"), ImageKind::Unknown);
}

// SOF0 frame header: marker, length, precision, then height and width.
QByteArray withJpegSize(QByteArray jpeg, int width, int height) {
  const qsizetype sof = jpeg.indexOf(QByteArray("\xFF\xC0", 2));
  EXPECT_GT(sof, 0);
  jpeg[sof + 5] = char(height >> 8);
  jpeg[sof + 6] = char(height & 0xFF);
  jpeg[sof + 7] = char(width >> 8);
  jpeg[sof + 8] = char(width & 0xFF);
  return jpeg;
}

struct BrokenFile {
  const char *name;
  std::function<QByteArray()> make;
};

void PrintTo(const BrokenFile &c, std::ostream *os) {
  *os << c.name;
}

QByteArray gifSample() {
  return makeGif(kFour, 40, 30, [](int x, int y) { return (x * y) % 4; });
}

class BrokenImage : public ::testing::TestWithParam<BrokenFile> {};

TEST_P(BrokenImage, DecodesToNothing) {
  EXPECT_TRUE(decodeImage(GetParam().make()).isNull());
}

INSTANTIATE_TEST_SUITE_P(
    Files, BrokenImage,
    ::testing::Values(
        BrokenFile{"empty", [] { return QByteArray(); }},
        BrokenFile{"png", [] { return encodeWithQt(quadrantImage(16), "png"); }},
        BrokenFile{"text", [] { return QByteArray("BMthis is not a bitmap at all"); }},
        BrokenFile{"jpegCutAt90",
                   [] {
                     const QByteArray j = encodeWithQt(quadrantImage(64), "jpeg", 90);
                     return j.left(j.size() * 9 / 10);
                   }},
        BrokenFile{"jpegCutAt40",
                   [] {
                     const QByteArray j = encodeWithQt(quadrantImage(64), "jpeg", 90);
                     return j.left(j.size() * 4 / 10);
                   }},
        BrokenFile{
            "jpegHugeFrame",
            [] { return withJpegSize(encodeWithQt(quadrantImage(64), "jpeg"), 60000, 60000); }},
        BrokenFile{"jpegHeaderOnly", [] { return QByteArray("\xFF\xD8\xFF\xE0", 4); }},
        BrokenFile{"gifCut", [] { return gifSample().left(gifSample().size() - 20); }},
        BrokenFile{"gifHeaderOnly", [] { return gifSample().left(13); }},
        BrokenFile{"bmpCutRows",
                   [] {
                     const QByteArray b = encodeWithQt(quadrantImage(32), "bmp");
                     return b.left(b.size() * 6 / 10);
                   }},
        BrokenFile{"bmpHugeHeader",
                   [] {
                     QByteArray b = encodeWithQt(quadrantImage(8), "bmp");
                     b.replace(18, 8, QByteArray("\x00\x00\x01\x00\x00\x00\x01\x00", 8));
                     return b;
                   }},
        BrokenFile{"pcxCut",
                   [] {
                     test::PcxLayout l;
                     l.width = 50;
                     l.height = 50;
                     return test::pcxFile(l, QByteArray(2500, '\x07')).left(130);
                   }}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(ImageDecoder, FilesThatAreNoPictures) {
  TempDir dir;
  const QString png = dir.write("pacman.jpg", encodeWithQt(quadrantImage(8), "png"));
  EXPECT_TRUE(decodeImageFile(png).isNull());
  EXPECT_TRUE(decodeImageFile(dir.write("empty.bmp")).isNull());
  EXPECT_TRUE(decodeImageFile(dir.file("missing.gif")).isNull());
  EXPECT_TRUE(decodeImageFile(dir.mkdir("folder.pcx")).isNull());
  EXPECT_TRUE(decodeImageFile(QString()).isNull());
}

TEST(ImageDecoder, NameDoesNotDecideTheKind) {
  TempDir dir;
  const QString gifAsPcx =
      dir.write("game.pcx", makeGif(kFour, 3, 3, [](int x, int) { return x; }));
  const QImage image = decodeImageFile(gifAsPcx);
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.pixel(2, 1), kFour[2]);
}

class ImageLibraryTest : public ::testing::Test {
protected:
  TempDir dir;
  ImageLibrary library;

  QString bmpFile(const QString &name, int size = 32) {
    return dir.write(name, encodeWithQt(quadrantImage(size), "bmp"));
  }
};

TEST_F(ImageLibraryTest, LoadRemembersThePicture) {
  const QImage image = library.load(bmpFile("shot0001.bmp"));
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(library.lastPicture(), image);
}

TEST_F(ImageLibraryTest, FailedLoadForgetsTheEarlierPicture) {
  ASSERT_FALSE(library.load(bmpFile("shot0001.bmp")).isNull());
  EXPECT_TRUE(library.load(dir.file("missing.bmp")).isNull());
  EXPECT_TRUE(library.lastPicture().isNull());
  EXPECT_FALSE(library.saveAsJpg(dir.file("pacman.jpg"), 80));
  EXPECT_FALSE(QFileInfo::exists(dir.file("pacman.jpg")));
}

TEST_F(ImageLibraryTest, SavesTheLastPictureAsJpeg) {
  ASSERT_FALSE(library.load(bmpFile("shot0001.bmp", 64)).isNull());
  const QString target = dir.file("pacman.jpg");
  ASSERT_TRUE(library.saveAsJpg(target, 80));

  QFile file(target);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray data = file.readAll();
  EXPECT_EQ(detectImageKind(data), ImageKind::Jpeg);
  const QImage back = decodeImage(data);
  ASSERT_EQ(back.size(), QSize(64, 64));
  expectNear(back.pixel(16, 16), kFour[0], 16, "top left");
  expectNear(back.pixel(48, 48), kFour[3], 16, "bottom right");
  // Only the target is left behind: no temporary file.
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

TEST_F(ImageLibraryTest, QualityChangesTheFile) {
  QImage noisy(96, 96, QImage::Format_RGB32);
  for (int y = 0; y < 96; ++y)
    for (int x = 0; x < 96; ++x)
      noisy.setPixel(x, y, qRgb((x * 53 + y * 17) & 255, (x * y) & 255, (x ^ y) * 3 & 255));
  ASSERT_FALSE(library.load(dir.write("noisy.bmp", encodeWithQt(noisy, "bmp"))).isNull());
  ASSERT_TRUE(library.saveAsJpg(dir.file("low.jpg"), 10));
  ASSERT_TRUE(library.saveAsJpg(dir.file("high.jpg"), 95));
  EXPECT_LT(QFileInfo(dir.file("low.jpg")).size(), QFileInfo(dir.file("high.jpg")).size());
}

TEST_F(ImageLibraryTest, SaveReportsFailureTruthfully) {
  EXPECT_FALSE(library.saveAsJpg(dir.file("nothing.jpg"), 80)); // nothing loaded yet
  EXPECT_FALSE(QFileInfo::exists(dir.file("nothing.jpg")));

  ASSERT_FALSE(library.load(bmpFile("shot0001.bmp")).isNull());
  EXPECT_FALSE(library.saveAsJpg(dir.file("no/such/folder/pacman.jpg"), 80));
  EXPECT_EQ(library.lastSaveError(), "no such file or directory");
  const QString notAFolder = dir.write("plain.txt", "x");
  EXPECT_FALSE(library.saveAsJpg(notAFolder + "/pacman.jpg", 80));
  const QString folder = dir.mkdir("taken.jpg");
  EXPECT_FALSE(library.saveAsJpg(folder, 80));
  EXPECT_TRUE(QFileInfo(folder).isDir());
  EXPECT_FALSE(library.saveAsJpg(QString(), 80));
  // Nothing half-written was left anywhere.
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

TEST_F(ImageLibraryTest, SaveReplacesAnEarlierSnapshot) {
  const QString target = dir.write("pacman.jpg", "old contents");
  ASSERT_FALSE(library.load(bmpFile("shot0001.bmp")).isNull());
  ASSERT_TRUE(library.saveAsJpg(target, 80));
  EXPECT_FALSE(decodeImageFile(target).isNull());
  EXPECT_EQ(library.lastSaveError(), QString());
}

// Every kind of bitmap the decoders give must be writable as JPEG.
TEST_F(ImageLibraryTest, SavesPalettePicturesToo) {
  test::PcxLayout layout;
  layout.width = 32;
  layout.height = 32;
  layout.trailingPalette = kFour;
  const QString pcx =
      dir.write("pacman.pcx", test::pcxFile(layout, test::pcxIndexedRows(layout, [](int x, int y) {
                                              return quadrant(x, y, 32);
                                            })));
  ASSERT_EQ(library.load(pcx).format(), QImage::Format_Indexed8);
  ASSERT_TRUE(library.saveAsJpg(dir.file("pacman.jpg"), 90));
  const QImage back = decodeImageFile(dir.file("pacman.jpg"));
  ASSERT_EQ(back.size(), QSize(32, 32));
  expectNear(back.pixel(24, 8), kFour[1], 16, "top right");
}

TEST(ImageLibraryGlobal, LoadThenSaveThroughTheProgramWideCodec) {
  TempDir dir;
  test::PcxLayout layout;
  layout.planes = 3;
  layout.width = 24;
  layout.height = 24;
  const QString pcx =
      dir.write("pacman.pcx", test::pcxFile(layout, test::pcxRgbRows(layout, [](int x, int y) {
                                              return kFour[quadrant(x, y, 24)];
                                            })));
  const QImage image = imageLibLoad(pcx);
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(imageLibrary().lastPicture(), image);
  ASSERT_TRUE(imageLibSaveAsJpg(dir.file("pacman.jpg"), 80));
  const QImage back = decodeImageFile(dir.file("pacman.jpg"));
  ASSERT_FALSE(back.isNull());
  expectNear(back.pixel(4, 20), kFour[2], 16, "bottom left");
  imageLibrary().forget();
  EXPECT_FALSE(imageLibSaveAsJpg(dir.file("again.jpg"), 80));
}

} // namespace
} // namespace vantor
