// The header walk on files built to make it slow: local headers announcing
// data descriptors that never come, with no central directory. The time must
// grow with the file's size, not with headers times size.
#include "archive/zipheaderwalk.h"
#include "hostilezip.h"
#include "platform/usermessage.h"

#include <benchmark/benchmark.h>

namespace {

void walk(benchmark::State &state, const QByteArray &file) {
  const vantor::ScopedMessagePresenter quiet([](const vantor::UserMessage &) {});
  for (auto _ : state) {
    vantor::archive::MemoryByteSource source(file);
    vantor::archive::ZipHeaderWalk walker(source);
    walker.run(false);
    benchmark::DoNotOptimize(walker.entries.size());
  }
  state.SetBytesProcessed(state.iterations() * file.size());
  state.SetComplexityN(file.size());
}

// Bare headers only: 60000 of them make a file of 1.8 MB.
void BM_BareDescriptorHeaders(benchmark::State &state) {
  walk(state, vantor::test::bareDescriptorHeaders(int(state.range(0))));
}
BENCHMARK(BM_BareDescriptorHeaders)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(60000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

// A hundred bare headers, then MiB of filler.
void BM_HeadersThenFiller(benchmark::State &state) {
  walk(state, vantor::test::bareDescriptorHeaders(100, state.range(0) << 20));
}
BENCHMARK(BM_HeadersThenFiller)
    ->Arg(10)
    ->Arg(100)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

} // namespace
