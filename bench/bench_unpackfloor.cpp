// The unzip library against the floor: a 200 MB archive of 40 entries
// unpacked by the library, by bsdtar -xf, and the unpacked tree copied with
// cp -r, in turns (the order rotated), each in a process of its own after a
// sync, so that load from elsewhere and the write-back of the previous run
// fall on all three alike, after one round untimed. Prints the medians, the two ratios against
// their goals and the library's peak memory. The archive is generated in /tmp on the first run.
// UNPACKFLOOR_BASELINE=/path/to/another/unzip_once adds a fourth turn, an older build of the
// library, to compare before and after.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

namespace fs = std::filesystem;

const fs::path Root = "/tmp/vantor-bench-floor";
constexpr int kEntries = 40;
constexpr size_t kEntrySize = 5u << 20;
// Goals: library / cp -r at most this, bsdtar / library at least this.
constexpr double kCopyRatioGoal = 2.0;
constexpr double kBsdtarRatioGoal = 3.0;
constexpr double kPeakGoalMiB = 64;

std::string helper; // unzip_once, beside this program

struct ChildRun {
  double seconds = 0;
  double cpuSeconds = 0; // user and system, all threads
  double peakMiB = 0;
  bool ok = false;
};

ChildRun runChild(const std::vector<std::string> &args, const fs::path &folder = {}) {
  std::vector<char *> argv;
  for (const std::string &a : args)
    argv.push_back(const_cast<char *>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  if (!folder.empty())
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
  ChildRun run;
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  int status = 0;
  rusage usage{};
  const bool waited = spawned == 0 && wait4(pid, &status, 0, &usage) == pid;
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  run.peakMiB = double(usage.ru_maxrss) / 1024;
  run.cpuSeconds = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                   double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  run.ok = waited && WIFEXITED(status) && WEXITSTATUS(status) == 0;
  return run;
}

// Like a ROM set: every fourth entry noise (stored), the others runs of
// noise, words and repeated bytes (deflated to about half).
void writeEntry(const fs::path &path, int index) {
  std::mt19937 rng(uint32_t(index) * 7919u + 1);
  static const char *const words[] = {"sprite", "tile",   "palette", "sound", "bank", "offset",
                                      "frame",  "vector", "timer",   "z80",   "m68k", "layer"};
  std::string data;
  data.reserve(kEntrySize + 4096);
  while (data.size() < kEntrySize) {
    const unsigned kind = index % 4 == 0 ? 0 : rng() % 3;
    const size_t block = 4096 + rng() % 28672;
    if (kind == 0) {
      for (size_t i = 0; i < block; ++i)
        data += char(rng());
    } else if (kind == 1) {
      for (const size_t end = data.size() + block; data.size() < end;) {
        data += words[rng() % 12];
        data += ' ';
        if (rng() % 8 == 0)
          data += std::to_string(rng() % 100000) + "\n";
      }
    } else {
      data.append(block, char(rng() % 4 == 0 ? 0xFF : 0));
    }
  }
  data.resize(kEntrySize);
  std::ofstream(path, std::ios::binary).write(data.data(), std::streamsize(data.size()));
}

fs::path archivePath() {
  return Root / "floor-40.zip";
}
fs::path referenceTree() {
  return Root / "tree";
}

bool makeArchive() {
  fs::create_directories(Root);
  if (fs::exists(archivePath()) && fs::exists(referenceTree()))
    return true;
  const fs::path source = Root / "src";
  fs::remove_all(source);
  fs::create_directories(source / "roms");
  for (int i = 0; i < kEntries; ++i)
    writeEntry(source / "roms" / ("part" + std::to_string(100 + i) + ".bin"), i);
  const fs::path part = Root / "floor-40.zip.part";
  fs::remove(part);
  if (!runChild({"zip", "-q", "-r", "-D", part.string(), "roms"}, source).ok)
    return false;
  fs::rename(part, archivePath());
  fs::remove_all(referenceTree());
  fs::rename(source, referenceTree());
  return true;
}

fs::path fresh(const char *name) {
  const fs::path folder = Root / name;
  fs::remove_all(folder);
  fs::create_directories(folder);
  return folder;
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

struct Times {
  std::vector<double> library, bsdtar, copy, baseline, peakMiB;
  std::vector<double> libraryCpu, bsdtarCpu, copyCpu, baselineCpu;
} times;

void BM_FloorInTurns(benchmark::State &state) {
  if (!makeArchive()) {
    state.SkipWithError("cannot make the archive (zip missing?)");
    return;
  }
  const std::string archive = archivePath().string();
  const auto library = [&] {
    const fs::path out = fresh("out-library");
    sync();
    const ChildRun run = runChild({helper, archive, out.string(), std::to_string(kEntries)});
    if (!run.ok)
      state.SkipWithError("the library did not extract every entry");
    times.library.push_back(run.seconds);
    times.libraryCpu.push_back(run.cpuSeconds);
    times.peakMiB.push_back(run.peakMiB);
  };
  const char *baseline = std::getenv("UNPACKFLOOR_BASELINE");
  const auto older = [&] {
    const fs::path out = fresh("out-baseline");
    sync();
    const ChildRun run = runChild({baseline, archive, out.string(), std::to_string(kEntries)});
    if (!run.ok)
      state.SkipWithError("the baseline library did not extract every entry");
    times.baseline.push_back(run.seconds);
    times.baselineCpu.push_back(run.cpuSeconds);
  };
  const auto bsdtar = [&] {
    const fs::path out = fresh("out-bsdtar");
    sync();
    const ChildRun run = runChild({"bsdtar", "-xf", archive}, out);
    if (!run.ok)
      state.SkipWithError("bsdtar failed (package libarchive-tools)");
    times.bsdtar.push_back(run.seconds);
    times.bsdtarCpu.push_back(run.cpuSeconds);
  };
  const auto copy = [&] {
    const fs::path out = fresh("out-copy");
    sync();
    const ChildRun run = runChild({"cp", "-r", referenceTree().string(), (out / "tree").string()});
    if (!run.ok)
      state.SkipWithError("cp failed");
    times.copy.push_back(run.seconds);
    times.copyCpu.push_back(run.cpuSeconds);
  };
  std::vector<std::function<void()>> turns = {library, bsdtar, copy};
  if (baseline)
    turns.push_back(older);
  // One round untimed: after a pause, the first run of each tool also reads
  // its program, its libraries and the archive back in from disk.
  for (const auto &warmUp : turns)
    warmUp();
  times = Times{};
  size_t turn = 0;
  for (auto _ : state) {
    for (size_t k = 0; k < turns.size(); ++k)
      turns[(turn + k) % turns.size()]();
    ++turn;
  }
  state.counters["library_ms"] = median(times.library) * 1000;
  state.counters["bsdtar_ms"] = median(times.bsdtar) * 1000;
  state.counters["cp_ms"] = median(times.copy) * 1000;
  state.counters["peak_MiB"] = median(times.peakMiB);
  for (const char *name : {"out-library", "out-bsdtar", "out-copy", "out-baseline"})
    fs::remove_all(Root / name);
}

// Every turn's time, in the order run: one slow turn shows as itself, not as
// a shifted median.
void printTurns(const char *name, const std::vector<double> &seconds) {
  std::printf("  %-8s", name);
  for (double s : seconds)
    std::printf(" %4.0f", s * 1000);
  std::printf(" ms\n");
}

const char *verdict(bool met) {
  return met ? "met" : "MISSED";
}

} // namespace

int main(int argc, char **argv) {
  helper = (fs::path(argv[0]).parent_path() / "unzip_once").string();
  benchmark::RegisterBenchmark("Floor/in-turns", BM_FloorInTurns)
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime()
      ->Iterations(7);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  const double library = median(times.library), bsdtar = median(times.bsdtar),
               copy = median(times.copy);
  if (library > 0 && copy > 0) {
    const double peak = *std::max_element(times.peakMiB.begin(), times.peakMiB.end());
    std::printf("\n200 MB / 40 entries, median of %zu turns:\n", times.library.size());
    std::printf("  library %.0f ms, bsdtar -xf %.0f ms, cp -r %.0f ms\n", library * 1000,
                bsdtar * 1000, copy * 1000);
    std::printf("  library / cp -r     %5.2f (goal <= %.1f) %s\n", library / copy, kCopyRatioGoal,
                verdict(library / copy <= kCopyRatioGoal));
    std::printf("  bsdtar / library    %5.2f (goal >= %.1f) %s\n", bsdtar / library,
                kBsdtarRatioGoal, verdict(bsdtar / library >= kBsdtarRatioGoal));
    std::printf("  processor time (user + system): library %.0f ms, bsdtar %.0f ms, cp %.0f ms\n",
                median(times.libraryCpu) * 1000, median(times.bsdtarCpu) * 1000,
                median(times.copyCpu) * 1000);
    if (!times.baseline.empty())
      std::printf("  baseline library %.0f ms (processor %.0f ms): library / baseline %.2f\n",
                  median(times.baseline) * 1000, median(times.baselineCpu) * 1000,
                  library / median(times.baseline));
    printTurns("library", times.library);
    printTurns("bsdtar", times.bsdtar);
    printTurns("cp -r", times.copy);
    if (!times.baseline.empty())
      printTurns("baseline", times.baseline);
    std::printf("  library peak memory %5.1f MiB (goal <= %.0f) %s\n", peak, kPeakGoalMiB,
                verdict(peak <= kPeakGoalMiB));
  }
  benchmark::Shutdown();
  return 0;
}
