// Pads: from a press on a virtual pad to the new selection on the
// user-interface thread (target: median under 10 ms, 99th percentile under
// 16 ms), and what reading for pads costs while none is plugged in (target:
// nothing measurable beside an idle event loop).
#include "controls/edit.h"
#include "controls/rotarydial.h"
#include "gamepad/padinput.h"
#include "launcher/mainwindow.h"
#include "launcher/padrouter.h"
#include "settings/formstorage.h"
#include "settings/setupwindow.h"
#include "virtualpad.h"

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <ctime>
#include <vector>

namespace {

double cpuMilliseconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// Runs the event loop for `ms` and returns the CPU time the process used.
double idleCpu(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  const double before = cpuMilliseconds();
  loop.exec();
  return cpuMilliseconds() - before;
}

void BM_PressToSelection(benchmark::State &state) {
  QTemporaryDir roms;
  for (int i = 0; i < 200; ++i)
    QFile(roms.filePath(QStringLiteral("game%1.zip").arg(i, 3, 10, QChar('0'))))
        .open(QIODevice::WriteOnly);
  vantor::TfrmMain main;
  vantor::TFrmsetup setup;
  main.setSetupWindow(&setup);
  setup.setHost(&main);
  main.FormStorage1->setIniFileName(roms.filePath(QStringLiteral("vantor.INI")));
  setup.FormStorage1->setIniFileName(roms.filePath(QStringLiteral("vantor.INI")));
  setup.romloc->setTextValue(roms.path());
  main.show();
  vantor::PadRouter router(main);
  vantor::PadInput pads{vantor::PadSettings(), QString()};
  if (!pads.started()) {
    state.SkipWithError("SDL did not start");
    return;
  }
  // When the command reached the window: what comes before it is the wait
  // for the next read of the pads, what follows is the window's own work.
  QElapsedTimer clock;
  double deliveredAt = 0;
  pads.setCommandSink([&](vantor::PadCommand c) {
    deliveredAt = double(clock.nsecsElapsed()) / 1e6;
    router.route(c);
  });

  vantor::test::VirtualPad pad(vantor::test::VirtualPad::Kind::Controller);
  pads.pump(); // finds the pad now rather than at the next look for new ones
  if (pads.openDevices() != 1 || main.listroms.count() != 200) {
    state.SkipWithError("no pad or no catalogue");
    return;
  }

  std::vector<double> samples, reads;
  bool right = true;
  for (auto _ : state) {
    const int before = main.RotaryDial1->position();
    const int button = right ? SDL_CONTROLLER_BUTTON_DPAD_RIGHT : SDL_CONTROLLER_BUTTON_DPAD_LEFT;
    right = !right;
    QEventLoop loop;
    QTimer watch;
    watch.setInterval(0);
    QObject::connect(&watch, &QTimer::timeout, [&] {
      if (main.RotaryDial1->position() != before)
        loop.quit();
    });
    QTimer::singleShot(1000, &loop, &QEventLoop::quit);
    clock.start();
    pad.button(button, true);
    watch.start();
    loop.exec();
    const double ms = double(clock.nsecsElapsed()) / 1e6;
    if (main.RotaryDial1->position() == before) {
      state.SkipWithError("the selection did not change within a second");
      break;
    }
    state.SetIterationTime(ms / 1e3);
    samples.push_back(ms);
    reads.push_back(deliveredAt);
    pad.button(button, false);
    // The release is read before the next press; the pause varies so that
    // presses fall at every point between two reads of the pads.
    idleCpu(20 + int(samples.size() * 7 % 13));
  }
  pad.unplug();
  setup.setHost(nullptr);
  if (samples.empty())
    return;
  const auto percentile = [](std::vector<double> &v, std::size_t p) {
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, v.size() * p / 100)];
  };
  state.counters["median_ms"] = percentile(samples, 50);
  state.counters["p99_ms"] = percentile(samples, 99);
  state.counters["read_median_ms"] = percentile(reads, 50);
  state.counters["read_p99_ms"] = percentile(reads, 99);
}
BENCHMARK(BM_PressToSelection)->UseManualTime()->Iterations(200)->Unit(benchmark::kMillisecond);

// Two seconds of an idle event loop, with and without the pad reader and no
// pad: the difference is what waiting for a pad costs.
void BM_IdleWithoutPads(benchmark::State &state) {
  double plain = 0, withPads = 0;
  for (auto _ : state) {
    plain = idleCpu(2000);
    vantor::PadInput pads{vantor::PadSettings(), QString()};
    if (pads.openDevices() != 0) {
      state.SkipWithError("a pad is plugged in");
      return;
    }
    withPads = idleCpu(2000);
  }
  state.counters["plain_cpu_ms"] = plain;
  state.counters["pads_cpu_ms"] = withPads;
  state.counters["extra_cpu_percent"] = (withPads - plain) / 2000.0 * 100.0;
}
BENCHMARK(BM_IdleWithoutPads)->Iterations(1)->Unit(benchmark::kMillisecond);

// Two seconds with one pad plugged in and left alone: what the reads cost.
void BM_IdleWithAPad(benchmark::State &state) {
  double withPad = 0;
  for (auto _ : state) {
    vantor::PadInput pads{vantor::PadSettings(), QString()};
    vantor::test::VirtualPad pad(vantor::test::VirtualPad::Kind::Controller);
    pads.pump();
    if (pads.openDevices() != 1) {
      state.SkipWithError("no pad");
      return;
    }
    withPad = idleCpu(2000);
  }
  state.counters["pad_cpu_ms"] = withPad;
  state.counters["cpu_percent"] = withPad / 2000.0 * 100.0;
}
BENCHMARK(BM_IdleWithAPad)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
