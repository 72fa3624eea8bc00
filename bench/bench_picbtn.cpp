// Costs of the picture button's and the shaped window's rebuilds: both must
// stay well inside one 16 ms frame.
#include "controls/form.h"
#include "controls/formshaper.h"
#include "controls/maskedpicture.h"
#include "controls/picbtncomposite.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <benchmark/benchmark.h>

using namespace vantor;

namespace {

QImage skinFile(const char *name) {
  const QDir skins(QFileInfo(QStringLiteral(__FILE__)).absolutePath() +
                   QStringLiteral("/../skins"));
  QImage image(skins.filePath(QString::fromLatin1(name) + QStringLiteral(".bmp")));
  if (image.isNull())
    qFatal("missing skin bitmap %s", name);
  return image;
}

void BM_RegionBuildBigSkin(benchmark::State &state) {
  const QImage skin = skinFile("backbig");
  for (auto _ : state)
    benchmark::DoNotOptimize(maskRegion(skin, clYellow));
  state.counters["rects"] = maskRegion(skin, clYellow).rectCount();
}
BENCHMARK(BM_RegionBuildBigSkin)->Unit(benchmark::kMillisecond);

// The whole skin change as the shaper does it: region, outline, form size.
void BM_ShaperSkinToggle(benchmark::State &state) {
  const QImage small = skinFile("backsmall"), big = skinFile("backbig");
  TForm form;
  auto *shaper = new TFormShaper(&form);
  shaper->maskedPicture()->setMaskColor(clYellow);
  shaper->setShowCaption(false);
  shaper->setActive(true);
  bool toBig = true;
  for (auto _ : state) {
    shaper->maskedPicture()->setPicture(toBig ? big : small);
    toBig = !toBig;
  }
}
BENCHMARK(BM_ShaperSkinToggle)->Unit(benchmark::kMillisecond);

void BM_CompositeUsedel(benchmark::State &state) {
  const QImage usedel = skinFile("usedel"), skin = skinFile("backbig");
  const Backdrop backdrop{skin, {0, 0}, clSilver};
  for (auto _ : state)
    benchmark::DoNotOptimize(
        composeButtonImage(usedel, true, 0x181808, backdrop, QPoint(358, 226), 26));
}
BENCHMARK(BM_CompositeUsedel)->Unit(benchmark::kMicrosecond);

// A see-through round button: every corner pixel looks up the skin.
void BM_CompositeRoundButton(benchmark::State &state) {
  const QImage button = skinFile("exitall"), skin = skinFile("backbig");
  const Backdrop backdrop{skin, {0, 0}, clSilver};
  for (auto _ : state)
    benchmark::DoNotOptimize(
        composeButtonImage(button, true, clWhite, backdrop, QPoint(252, 248), 26));
}
BENCHMARK(BM_CompositeRoundButton)->Unit(benchmark::kMicrosecond);

} // namespace
