// The header walk's and the extraction's speed as ratios to the system's own
// zip commands on the same archives, so the figures do not depend on the
// machine; and what following the progress costs a launch's unpacking. The
// archives are generated in /tmp on the first run.
#include "archive/zipextractor.h"
#include "controls/shadowlabel.h"
#include "launcher/unpackprogress.h"
#include "launcher/zipunpacker.h"
#include "platform/clock.h"
#include "platform/usermessage.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QWidget>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <map>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

extern char **environ;

namespace {

const QString Root = QStringLiteral("/tmp/vantor-bench-zip");

QString archivePath(const char *name) {
  return Root + "/" + name;
}

bool run(const std::vector<std::string> &args, const char *folder = nullptr) {
  std::vector<char *> argv;
  for (const std::string &a : args)
    argv.push_back(const_cast<char *>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  if (folder)
    posix_spawn_file_actions_addchdir_np(&actions, folder);
  pid_t pid = 0;
  const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  int status = 0;
  return spawned == 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) &&
         WEXITSTATUS(status) <= 1;
}

QByteArray noise(qsizetype size, quint32 seed) {
  QByteArray data(size, Qt::Uninitialized);
  QRandomGenerator rng(seed);
  rng.fillRange(reinterpret_cast<quint32 *>(data.data()), size / 4);
  return data;
}

// Words from a small vocabulary with numbers: compresses about as well as
// source text or logs.
QByteArray textLike(qsizetype size, quint32 seed) {
  static const char *words[] = {"the",       "rom",    "sprite", "tile",    "palette",
                                "sound",     "bank",   "offset", "value",   "frame",
                                "layer",     "input",  "timer",  "z80",     "m68k",
                                "interrupt", "vector", "table",  "address", "register"};
  QRandomGenerator rng(seed);
  QByteArray data;
  data.reserve(size + 100);
  while (data.size() < size) {
    for (int w = 0, n = 4 + rng.bounded(8); w < n; ++w) {
      data += words[rng.bounded(20)];
      data += ' ';
    }
    data += QByteArray::number(rng.bounded(100000));
    data += '\n';
  }
  data.truncate(size);
  return data;
}

bool writeFile(const QString &path, const QByteArray &data) {
  QFile f(path);
  return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

// Builds `name` from files made by `fill` in a scratch folder.
void makeArchive(const char *name, const std::vector<std::string> &zipArgs,
                 const std::function<void(const QString &folder)> &fill) {
  if (QFile::exists(archivePath(name)))
    return;
  const QString folder = Root + "/src-" + name;
  QDir(folder).removeRecursively();
  QDir().mkpath(folder);
  fill(folder);
  std::vector<std::string> args{"zip", "-q", "-r"};
  args.insert(args.end(), zipArgs.begin(), zipArgs.end());
  args.push_back(archivePath(name).toStdString() + ".part");
  args.push_back(".");
  if (run(args, folder.toLocal8Bit().constData()))
    QFile::rename(archivePath(name) + ".part", archivePath(name));
  QDir(folder).removeRecursively();
}

void makeArchives() {
  QDir().mkpath(Root);
  makeArchive("small-5000.zip", {}, [](const QString &folder) {
    for (int i = 0; i < 5000; ++i)
      writeFile(folder + QString("/f%1.txt").arg(i, 4, 10, QChar('0')), textLike(200 + i % 700, i));
  });
  makeArchive("big-50.zip", {"-0"}, [](const QString &folder) {
    for (int i = 0; i < 50; ++i)
      writeFile(folder + QString("/part%1.bin").arg(i, 2, 10, QChar('0')), noise(10 << 20, i));
  });
  makeArchive("mixed-40.zip", {}, [](const QString &folder) {
    for (int i = 0; i < 40; ++i)
      writeFile(folder +
                    QString("/entry%1.%2").arg(i, 2, 10, QChar('0')).arg(i % 2 ? "txt" : "bin"),
                i % 2 ? textLike(5 << 20, i) : noise(5 << 20, i));
  });
}

QWidget *owner() {
  static QWidget widget;
  return &widget;
}

// --- Header walk -----------------------------------------------------------

void BM_Walk(benchmark::State &state, const char *name) {
  const vantor::ScopedMessagePresenter quiet([](const vantor::UserMessage &) {});
  vantor::archive::TZipExtractor zip(owner());
  const QString path = archivePath(name);
  for (auto _ : state) {
    zip.setZipFilename(path);
    benchmark::DoNotOptimize(zip.entryCount());
    zip.setZipFilename(QString());
  }
  zip.setZipFilename(path);
  state.counters["entries"] = zip.entryCount();
}

void BM_Tool(benchmark::State &state, std::vector<std::string> args) {
  for (auto _ : state)
    if (!run(args))
      state.SkipWithError("tool failed");
}

std::vector<std::string> withArchive(std::vector<std::string> args, const char *name) {
  args.push_back(archivePath(name).toStdString());
  return args;
}

// --- Extraction ------------------------------------------------------------

QString freshFolder(const char *name) {
  const QString folder = Root + "/" + name;
  QDir(folder).removeRecursively();
  QDir().mkpath(folder);
  return folder;
}

// The three extract in turns, so that load from elsewhere on a shared machine
// falls on all of them alike; each reports its median round.
struct ExtractTimes {
  std::vector<double> ours, bsdtar, unzip;
};

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

template <typename F> double seconds(F &&f) {
  const auto start = std::chrono::steady_clock::now();
  f();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

ExtractTimes extractTimes;

void BM_ExtractInTurns(benchmark::State &state) {
  const vantor::ScopedMessagePresenter toStderr([](const vantor::UserMessage &message) {
    std::fprintf(stderr, "%s\n", qPrintable(message.text));
  });
  vantor::archive::TZipExtractor zip(owner());
  zip.setDLLDirectory(QCoreApplication::applicationDirPath() + "/../bin");
  const QString archive = archivePath("mixed-40.zip");
  zip.setZipFilename(archive);
  zip.setExtrOptions(vantor::archive::TZipExtractor::ExtrOverWrite);
  const std::string path = archive.toStdString();
  for (auto _ : state) {
    zip.setExtrBaseDir(freshFolder("out-ours"));
    extractTimes.ours.push_back(seconds([&] { zip.Extract(); }));
    if (zip.extractedCount() != 40)
      state.SkipWithError("not every entry extracted");
    const std::string tarOut = freshFolder("out-bsdtar").toStdString();
    extractTimes.bsdtar.push_back(seconds([&] { run({"bsdtar", "-xf", path}, tarOut.c_str()); }));
    const std::string unzipOut = freshFolder("out-unzip").toStdString();
    extractTimes.unzip.push_back(seconds([&] {
      run({"unzip", "-o", "-qq", path}, unzipOut.c_str());
    }));
  }
  state.counters["ours_ms"] = median(extractTimes.ours) * 1000;
  state.counters["bsdtar_ms"] = median(extractTimes.bsdtar) * 1000;
  state.counters["unzip_ms"] = median(extractTimes.unzip) * 1000;
}

// A launch's unpacking of the 200 MB archive with and without following its
// progress (the caption and its repaint), in turns, the
// order rotated. "shown" moves the clock on by the quiet time, so the
// percentages show from the start. The goal: within 2%. Medians and minima,
// the minimum being the least disturbed by other load.
struct ProgressTimes {
  std::vector<double> plain, followed, shown;
  std::vector<double> handler; // time inside the progress handling, "shown" runs
};

ProgressTimes progressTimes;

void BM_ProgressInTurns(benchmark::State &state) {
  vantor::archive::TZipExtractor zip(owner());
  const vantor::ScopedMessagePresenter toStderr([](const vantor::UserMessage &message) {
    std::fprintf(stderr, "%s\n", qPrintable(message.text));
  });
  zip.setDLLDirectory(QCoreApplication::applicationDirPath() + "/../bin");
  vantor::ZipUnpacker unpacker(zip);
  QWidget window;
  window.resize(320, 40);
  vantor::TShadowLabel caption(&window);
  caption.setGeometry(0, 10, 300, 17);
  window.show();
  const QByteArray archive = QFile::encodeName(archivePath("mixed-40.zip"));
  int reports = 0, captions = 0, turn = 0;
  const auto plain = [&] {
    const QString folder = freshFolder("out-plain");
    unpacker.open(archive);
    progressTimes.plain.push_back(seconds([&] { unpacker.unpack(folder, {}); }));
  };
  const auto followed = [&](bool shown) {
    const QString folder = freshFolder(shown ? "out-shown" : "out-followed");
    unpacker.open(archive);
    const double time = seconds([&] {
      vantor::UnpackProgress progress([&](const QString &text) {
        caption.setCaption(text);
        QCoreApplication::processEvents();
        captions += shown;
      });
      if (shown) {
        const std::uint32_t started = vantor::platform::tickCount();
        QElapsedTimer timer;
        timer.start();
        vantor::platform::setTickSource([started, timer] {
          return started + vantor::UnpackProgress::kQuietTime + std::uint32_t(timer.elapsed());
        });
      }
      double inHandler = 0;
      const auto outcome = unpacker.unpack(folder, [&](qint64 done, qint64 total) {
        ++reports;
        inHandler += seconds([&] { progress.report(done, total); });
        return true;
      });
      if (shown)
        progressTimes.handler.push_back(inHandler);
      if (outcome.written != 40)
        state.SkipWithError("not every entry extracted");
    });
    vantor::platform::setTickSource({});
    (shown ? progressTimes.shown : progressTimes.followed).push_back(time);
  };
  const std::function<void()> runs[] = {plain, [&] { followed(false); }, [&] { followed(true); }};
  for (auto _ : state) {
    for (int k = 0; k < 3; ++k)
      runs[(turn + k) % 3]();
    ++turn;
  }
  const auto least = [](const std::vector<double> &v) {
    return v.empty() ? 0 : *std::min_element(v.begin(), v.end());
  };
  state.counters["plain_ms"] = median(progressTimes.plain) * 1000;
  state.counters["followed_ms"] = median(progressTimes.followed) * 1000;
  state.counters["shown_ms"] = median(progressTimes.shown) * 1000;
  state.counters["plain_min_ms"] = least(progressTimes.plain) * 1000;
  state.counters["followed_min_ms"] = least(progressTimes.followed) * 1000;
  state.counters["shown_min_ms"] = least(progressTimes.shown) * 1000;
  state.counters["handler_ms"] = median(progressTimes.handler) * 1000;
  state.counters["reports"] = reports / std::max(2 * turn, 1);
  state.counters["captions"] = captions / std::max(turn, 1);
}

// Collects each run's real time to print the ratios at the end.
class RatioReporter final : public benchmark::ConsoleReporter {
public:
  void ReportRuns(const std::vector<Run> &runs) override {
    for (const Run &r : runs)
      if (!r.error_occurred)
        times[r.benchmark_name()] = r.GetAdjustedRealTime();
    ConsoleReporter::ReportRuns(runs);
  }
  void ratio(const std::string &label, const std::string &ours, const std::string &other) const {
    const auto a = times.find(ours), b = times.find(other);
    if (a == times.end() || b == times.end())
      return;
    std::printf("%-58s %6.2fx\n", label.c_str(), b->second / a->second);
  }
  std::map<std::string, double> times;
};

} // namespace

int main(int argc, char **argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  makeArchives();

  for (const char *name : {"small-5000.zip", "big-50.zip"}) {
    benchmark::RegisterBenchmark((std::string("Walk/ours/") + name).c_str(), BM_Walk, name)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark((std::string("Walk/unzip-Z1/") + name).c_str(), BM_Tool,
                                 withArchive({"unzip", "-Z1"}, name))
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark((std::string("Walk/unzip-l/") + name).c_str(), BM_Tool,
                                 withArchive({"unzip", "-l"}, name))
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
  }
  benchmark::RegisterBenchmark("Extract/in-turns", BM_ExtractInTurns)
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime()
      ->Iterations(7);
  benchmark::RegisterBenchmark("Extract/progress-in-turns", BM_ProgressInTurns)
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime()
      ->Iterations(12);

  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("\nSpeed-ups (command time / our time, above 1 = we are faster):\n");
  for (const char *name : {"small-5000.zip", "big-50.zip"}) {
    const std::string ours = std::string("Walk/ours/") + name + "/real_time";
    reporter.ratio(std::string("walk ") + name + " vs unzip -Z1", ours,
                   std::string("Walk/unzip-Z1/") + name + "/real_time");
    reporter.ratio(std::string("walk ") + name + " vs unzip -l", ours,
                   std::string("Walk/unzip-l/") + name + "/real_time");
  }
  const double ours = median(extractTimes.ours);
  if (ours > 0) {
    std::printf("%-58s %6.2fx\n", "extract mixed-40.zip vs bsdtar -xf (median of 7 turns)",
                median(extractTimes.bsdtar) / ours);
    std::printf("%-58s %6.2fx\n", "extract mixed-40.zip vs unzip -o -qq (median of 7 turns)",
                median(extractTimes.unzip) / ours);
  }
  const double plain = median(progressTimes.plain);
  if (plain > 0) {
    std::printf("%-58s %+6.2f%%\n", "unpack mixed-40.zip, progress followed vs not (median)",
                (median(progressTimes.followed) / plain - 1) * 100);
    std::printf("%-58s %+6.2f%%\n", "unpack mixed-40.zip, percentages shown vs not (median)",
                (median(progressTimes.shown) / plain - 1) * 100);
    std::printf("%-58s %6.3f%%\n", "time inside the progress handling / plain unpacking",
                median(progressTimes.handler) / plain * 100);
  }
  for (const char *folder :
       {"out-ours", "out-bsdtar", "out-unzip", "out-plain", "out-followed", "out-shown"})
    QDir(Root + "/" + folder).removeRecursively();
  benchmark::Shutdown();
  return 0;
}
