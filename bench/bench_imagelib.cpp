// Decoding and saving speed of the snapshot codec.
#include "imagelib/imagedecoder.h"
#include "imagelib/imagelib.h"
#include "imagelib/pcxreader.h"
#include "pcxwriter.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

using vantor::test::PcxLayout;

QByteArray pcx(int planes, int width, int height) {
  PcxLayout layout;
  layout.planes = planes;
  layout.width = width;
  layout.height = height;
  if (planes == 1) {
    for (int i = 0; i < 256; ++i)
      layout.trailingPalette.append(qRgb(i, 255 - i, i / 2));
    return vantor::test::pcxFile(layout, vantor::test::pcxIndexedRows(layout, [](int x, int y) {
                                   return (x / 8 + y / 8) & 255;
                                 }));
  }
  return vantor::test::pcxFile(layout, vantor::test::pcxRgbRows(layout, [](int x, int y) {
                                 return qRgb(x & 255, y & 255, (x / 16) * 16);
                               }));
}

QImage screenshot() {
  QImage image(320, 224, QImage::Format_RGB32);
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      image.setPixel(x, y, qRgb((x * 3) & 255, (y * 5) & 255, (x ^ y) & 255));
  return image;
}

void BM_DecodePcx8(benchmark::State &state) {
  const QByteArray data = pcx(1, 640, 480);
  for (auto _ : state)
    benchmark::DoNotOptimize(vantor::decodePcx(data));
  state.SetBytesProcessed(state.iterations() * 640 * 480);
}
BENCHMARK(BM_DecodePcx8);

void BM_DecodePcx24(benchmark::State &state) {
  const QByteArray data = pcx(3, 640, 480);
  for (auto _ : state)
    benchmark::DoNotOptimize(vantor::decodePcx(data));
  state.SetBytesProcessed(state.iterations() * 640 * 480 * 3);
}
BENCHMARK(BM_DecodePcx24);

void BM_DecodeBmpScreenshot(benchmark::State &state) {
  QByteArray data;
  QBuffer buffer(&data);
  buffer.open(QIODevice::WriteOnly);
  screenshot().save(&buffer, "bmp");
  for (auto _ : state)
    benchmark::DoNotOptimize(vantor::decodeImage(data));
}
BENCHMARK(BM_DecodeBmpScreenshot);

void BM_SaveScreenshotAsJpeg(benchmark::State &state) {
  QTemporaryDir dir;
  QBuffer source;
  source.open(QIODevice::WriteOnly);
  screenshot().save(&source, "bmp");
  QFile file(dir.filePath("shot0001.bmp"));
  file.open(QIODevice::WriteOnly);
  file.write(source.data());
  file.close();
  vantor::ImageLibrary library;
  library.load(file.fileName());
  const QString target = dir.filePath("pacman.jpg");
  for (auto _ : state)
    benchmark::DoNotOptimize(library.saveAsJpg(target, 80));
}
BENCHMARK(BM_SaveScreenshotAsJpeg);

} // namespace
