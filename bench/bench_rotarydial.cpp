#include "controls/rotarydial.h"
#include "controls/rotarydialgeometry.h"

#include <QApplication>
#include <QImage>
#include <benchmark/benchmark.h>

using vantor::TRotaryDial;

namespace {

// A full paint of the launcher's dial, by scale size and layout.
void BM_DialPaint(benchmark::State &state) {
  TRotaryDial dial;
  dial.resize(177, 177);
  dial.setColor(vantor::clTeal);
  dial.setMax(static_cast<int>(state.range(0)));
  dial.setPosition(dial.max() / 2);
  dial.setPrintValues(state.range(1) != 0);
  QImage image(177, 177, QImage::Format_RGB32);
  for (auto _ : state) {
    dial.render(&image);
    benchmark::DoNotOptimize(image.constBits());
  }
}
BENCHMARK(BM_DialPaint)->Args({10, 0})->Args({270, 0})->Args({270, 1})->Args({5000, 0});

// The angle-to-position lookup one drag move makes.
void BM_PositionAtAngle(benchmark::State &state) {
  const int max = static_cast<int>(state.range(0));
  const auto layout = vantor::dial::stepLayout(max);
  int angle = -89;
  for (auto _ : state) {
    benchmark::DoNotOptimize(vantor::dial::positionAtAngle(layout, angle, max));
    angle = angle == 270 ? -89 : angle + 1;
  }
}
BENCHMARK(BM_PositionAtAngle)->Arg(10)->Arg(270)->Arg(100000);

} // namespace
