// Type-ahead in a catalogue of 100,000 archives: one key's jump must stay far
// below a frame (16.7 ms). The names are made from a fixed generator, sorted
// as a folder listing is.
#include "launcher/catalogue.h"
#include "launcher/cataloguenavigator.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>

namespace {

constexpr int kEntries = 100000;

vantor::Catalogue &bigCatalogue() {
  static vantor::Catalogue catalogue = [] {
    static const char *parts[] = {"kof",   "mslug", "sam",  "garou", "blaz",   "puzz", "aero",
                                  "ninja", "magic", "turf", "wh",    "fatfur", "last", "rb"};
    QList<QByteArray> names;
    names.reserve(kEntries);
    std::uint32_t seed = 12345;
    for (int i = 0; i < kEntries; ++i) {
      seed = seed * 1664525u + 1013904223u;
      names << QByteArray(parts[(seed >> 8) % std::size(parts)]) + QByteArray::number(i) + ".zip";
    }
    std::sort(names.begin(), names.end());
    vantor::Catalogue c;
    c.rebuild({"roms", "/roms", names}, {});
    return c;
  }();
  return catalogue;
}

// Folding the names once, when the catalogue is rebuilt.
void BM_FoldCatalogue(benchmark::State &state) {
  vantor::CatalogueNavigator nav;
  for (auto _ : state)
    nav.setCatalogue(bigCatalogue());
  state.counters["entries"] = nav.count();
}
BENCHMARK(BM_FoldCatalogue)->Unit(benchmark::kMillisecond);

// One typed key, each a fresh prefix: "m" lands about halfway, "w" near the
// end, "x" nowhere.
void BM_TypeAheadJump(benchmark::State &state, const char *key) {
  vantor::CatalogueNavigator nav;
  nav.setCatalogue(bigCatalogue());
  std::uint32_t tick = 0;
  int found = -1;
  for (auto _ : state) {
    tick += 2000; // a pause: every key starts afresh
    found = nav.typed(QString::fromLatin1(key), tick);
    benchmark::DoNotOptimize(found);
  }
  state.counters["index"] = found;
}
BENCHMARK_CAPTURE(BM_TypeAheadJump, middle, "m")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_TypeAheadJump, nearEnd, "w")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_TypeAheadJump, noMatch, "x")->Unit(benchmark::kMicrosecond);

// The worst case: a second key that no name continues with, after a first
// that the first name starts with, reads every name.
void BM_TypeAheadWorst(benchmark::State &state) {
  vantor::CatalogueNavigator nav;
  nav.setCatalogue(bigCatalogue());
  std::uint32_t tick = 0;
  int found = -1;
  for (auto _ : state) {
    state.PauseTiming();
    nav.typed(QStringLiteral("a"), tick += 2000);
    state.ResumeTiming();
    found = nav.typed(QStringLiteral("q"), tick += 100);
    benchmark::DoNotOptimize(found);
  }
  state.counters["index"] = found;
}
BENCHMARK(BM_TypeAheadWorst)->Unit(benchmark::kMicrosecond);

// A name typed out, a key every 100 ms: the prefix grows.
void BM_TypeAheadWord(benchmark::State &state) {
  vantor::CatalogueNavigator nav;
  nav.setCatalogue(bigCatalogue());
  const QString word = QStringLiteral("wh9999");
  std::uint32_t tick = 0;
  for (auto _ : state) {
    tick += 2000;
    int found = -1;
    for (QChar ch : word)
      found = nav.typed(QString(ch), tick += 100);
    benchmark::DoNotOptimize(found);
  }
}
BENCHMARK(BM_TypeAheadWord)->Unit(benchmark::kMicrosecond);

} // namespace
