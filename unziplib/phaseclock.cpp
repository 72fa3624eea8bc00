#include "unziplib/phaseclock.h"

#if defined(UNZIPLIB_PROFILE)

#include <atomic>
#include <chrono>
#include <cstdio>

namespace unziplib {
namespace {

std::atomic<int64_t> totals[int(Phase::Count)];

int64_t now() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

} // namespace

PhaseTimer::PhaseTimer(Phase phase) : phase_(phase), start_(now()) {}

PhaseTimer::~PhaseTimer() {
  totals[int(phase_)].fetch_add(now() - start_, std::memory_order_relaxed);
}

void resetPhases() {
  for (auto &total : totals)
    total.store(0);
}

void printPhases() {
  static const char *const names[] = {"plan",  "read",   "inflate", "checksum", "write",
                                      "close", "stream", "commit",  "wait"};
  std::fprintf(stderr, "unziplib phases (ms, summed over threads):");
  for (int p = 0; p < int(Phase::Count); ++p)
    std::fprintf(stderr, " %s=%.1f", names[p], double(totals[p].load()) / 1e6);
  std::fprintf(stderr, "\n");
}

} // namespace unziplib

#endif
