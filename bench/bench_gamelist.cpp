// The game list: a 60 MB list of 40,000 sets read on a worker thread while
// the user-interface thread keeps ticking (target: under 1.5 s, no gap
// between two ticks over 16 ms, peak memory at most twice the file), what the
// user-interface thread does with the titles when it arrives (well within a
// frame), and the set check of 10,000 archives, cold (no cache, target under
// 10 s) and warm (cached, under 0.5 s). Inputs are generated from fixed
// values.
#include "gamelist/gamelistreader.h"
#include "gamelist/setchecker.h"
#include "launcher/catalogue.h"
#include "launcher/cataloguenavigator.h"
#include "launcher/titleindexer.h"

#include "zipwriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>
#include <fstream>
#include <malloc.h>
#include <string>
#include <thread>

using namespace vantor::gamelist;

namespace {

constexpr int kListSets = 40000;
constexpr int kRomsPerSet = 12;
constexpr int kArchives = 10000;

QTemporaryDir &scratch() {
  static QTemporaryDir dir;
  return dir;
}

QByteArray hex8(quint32 value) {
  return QByteArray::number(value, 16).rightJustified(8, '0');
}

// Sets shaped as real ones: a title, maker and year, a parent for every
// fourth, roms with CRC and SHA-1, a disk and unknown elements now and then.
const QString &bigList() {
  static const QString path = [] {
    const QString file = scratch().filePath(QStringLiteral("big.dat"));
    QFile out(file);
    out.open(QIODevice::WriteOnly);
    out.write("<?xml version=\"1.0\"?>\n<!DOCTYPE datafile PUBLIC \"-//x//DTD//EN\" \"x.dtd\">\n"
              "<datafile>\n\t<header><name>Big</name><clrmamepro/></header>\n");
    quint32 seed = 7;
    QByteArray chunk;
    for (int i = 0; i < kListSets; ++i) {
      const QByteArray name = "set" + QByteArray::number(i);
      chunk += "\t<game name=\"" + name + "\"";
      if (i % 4)
        chunk += " cloneof=\"set" + QByteArray::number(i - i % 4) + "\" romof=\"set" +
                 QByteArray::number(i - i % 4) + "\"";
      chunk += ">\n\t\t<description>Game number " + QByteArray::number(i) +
               " - The Return of the Fighters</description>\n\t\t<year>19" +
               QByteArray::number(80 + i % 20) + "</year>\n\t\t<manufacturer>Maker " +
               QByteArray::number(i % 50) + "</manufacturer>\n";
      for (int r = 0; r < kRomsPerSet; ++r) {
        seed = seed * 1664525u + 1013904223u;
        chunk += "\t\t<rom name=\"" + name + "-p" + QByteArray::number(r) + ".bin\" size=\"" +
                 QByteArray::number(1024u << (seed % 10)) + "\" crc=\"" + hex8(seed) +
                 "\" sha1=\"" + hex8(seed ^ 1) + hex8(seed ^ 2) + hex8(seed ^ 3) + hex8(seed ^ 4) +
                 hex8(seed ^ 5) + "\"" + (r % 4 == 1 ? " merge=\"x.bin\"" : "") + "/>\n";
      }
      if (i % 100 == 0)
        chunk += "\t\t<disk name=\"d\" sha1=\"0\"/><sample name=\"s\"/>\n";
      chunk += "\t\t<driver status=\"good\"/>\n\t</game>\n";
      if (chunk.size() > (1 << 20)) {
        out.write(chunk);
        chunk.clear();
      }
    }
    out.write(chunk + "</datafile>\n");
    return file;
  }();
  return path;
}

// CPU time of the whole process: on a shared machine the wall time also
// counts the waits for a core.
double processCpuMs() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

qint64 statusKb(const char *field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind(field, 0) == 0)
      return std::stoll(line.substr(std::string(field).size()));
  return 0;
}

// The list read on a worker thread while this thread, standing in for the
// user-interface thread, runs a 1 ms timer and notes the longest gap.
void BM_ReadListOnWorker(benchmark::State &state) {
  const QString &path = bigList();
  const qint64 fileSize = QFileInfo(path).size();
  double longestGapMs = 0, peakRatio = 0, cpuMs = 0;
  int sets = 0;
  for (auto _ : state) {
    const double cpuBefore = processCpuMs();
    // What the last run freed goes back to the system first, or this run
    // would reuse it unseen; then the peak resident size is reset, so the
    // next read sees this run's own.
    malloc_trim(0);
    std::ofstream("/proc/self/clear_refs") << "5";
    const qint64 before = statusKb("VmRSS:");
    std::shared_ptr<const GameList> list;
    QEventLoop loop;
    QElapsedTimer sinceTick;
    sinceTick.start();
    QTimer ticker;
    ticker.setInterval(1);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
      longestGapMs = std::max(longestGapMs, sinceTick.nsecsElapsed() / 1e6);
      sinceTick.restart();
    });
    ticker.start();
    std::thread worker([&] {
      list = GameListReader::readFile(path);
      QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    worker.join();
    sets = list->setCount();
    cpuMs += processCpuMs() - cpuBefore;
    peakRatio = std::max(peakRatio, double(statusKb("VmHWM:") - before) * 1024 / fileSize);
  }
  state.counters["sets"] = sets;
  state.counters["file_MB"] = double(fileSize) / (1 << 20);
  state.counters["longest_tick_gap_ms"] = longestGapMs;
  state.counters["peak_memory_x_file"] = peakRatio;
  state.counters["cpu_ms"] = cpuMs / double(state.iterations());
}
BENCHMARK(BM_ReadListOnWorker)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

struct TitledCatalogue {
  std::shared_ptr<const GameList> list;
  vantor::Catalogue catalogue;
};

// The big list and a catalogue of an archive for each of its sets.
const TitledCatalogue &titledCatalogue() {
  static const TitledCatalogue titled = [] {
    TitledCatalogue t;
    t.list = GameListReader::readFile(bigList());
    QList<QByteArray> names;
    for (int i = 0; i < kListSets; ++i)
      names << "set" + QByteArray::number(i) + ".zip";
    std::sort(names.begin(), names.end());
    t.catalogue.rebuild({QStringLiteral("roms"), QStringLiteral("/roms"), names}, {});
    return t;
  }();
  return titled;
}

// What the user-interface thread does when the big list arrives: hand the
// catalogue's entries to the worker that makes the titles' words and take the
// words back, and list the archives' paths for the set check (target: well
// within a frame, 16 ms).
void BM_TitlesHandOver(benchmark::State &state) {
  const TitledCatalogue &t = titledCatalogue();
  vantor::CatalogueNavigator navigator;
  navigator.setCatalogue(t.catalogue);
  const std::vector<QStringList> made =
      vantor::TitleIndexer::titleWordsOf(*t.list, t.catalogue.entries());
  for (auto _ : state) {
    state.PauseTiming();
    std::vector<QStringList> words = made;
    state.ResumeTiming();
    std::vector<vantor::CatalogueEntry> entries = t.catalogue.entries();
    benchmark::DoNotOptimize(entries.data());
    navigator.setTitleWords(std::move(words));
    QStringList archives;
    for (const vantor::CatalogueEntry &entry : t.catalogue.entries())
      archives << entry.filePath();
    benchmark::DoNotOptimize(archives.data());
  }
  state.counters["entries"] = t.catalogue.count();
}
BENCHMARK(BM_TitlesHandOver)->Unit(benchmark::kMillisecond);

// The worker's part: each entry's caption and its words.
void BM_TitleWordsOnWorker(benchmark::State &state) {
  const TitledCatalogue &t = titledCatalogue();
  for (auto _ : state)
    benchmark::DoNotOptimize(vantor::TitleIndexer::titleWordsOf(*t.list, t.catalogue.entries()));
  state.counters["entries"] = t.catalogue.count();
}
BENCHMARK(BM_TitleWordsOnWorker)->Unit(benchmark::kMillisecond);

struct Library {
  QString folder;
  QStringList archives;
  std::shared_ptr<const GameList> list;
};

// 10,000 archives of three roms each; every other set is a clone that takes
// one rom from its parent.
const Library &library() {
  static const Library lib = [] {
    Library l;
    l.folder = scratch().filePath(QStringLiteral("roms"));
    QDir().mkpath(l.folder);
    QByteArray xml = "<datafile>\n";
    for (int i = 0; i < kArchives; ++i) {
      const QByteArray name = "game" + QByteArray::number(i);
      vantor::test::ZipWriter zip;
      xml += "<game name=\"" + name + "\"";
      if (i % 2)
        xml += " cloneof=\"game" + QByteArray::number(i - 1) + "\"";
      xml += "><description>Game " + name + "</description>";
      for (int r = 0; r < 3; ++r) {
        const QByteArray rom = "r" + QByteArray::number(r) + ".bin";
        const QByteArray data = name + rom;
        const bool shared = i % 2 && r == 0; // held by the parent only
        if (!shared)
          zip.add(rom, data);
        const QByteArray parentData = "game" + QByteArray::number(i - 1) + rom;
        xml += "<rom name=\"" + rom + "\" size=\"" +
               QByteArray::number((shared ? parentData : data).size()) + "\" crc=\"" +
               hex8(vantor::test::crc32Of(shared ? parentData : data)) + "\"" +
               (shared ? " merge=\"" + rom + "\"" : QByteArray()) + "/>";
      }
      xml += "</game>\n";
      const QString file = l.folder + QStringLiteral("/game%1.zip").arg(i);
      QFile out(file);
      out.open(QIODevice::WriteOnly);
      out.write(zip.build());
      l.archives << file;
    }
    QFile dat(scratch().filePath(QStringLiteral("lib.dat")));
    dat.open(QIODevice::WriteOnly);
    dat.write(xml + "</datafile>\n");
    dat.close();
    l.list = GameListReader::readFile(dat.fileName());
    return l;
  }();
  return lib;
}

int runCheck(const QString &cacheFile) {
  const Library &lib = library();
  SetChecker checker(cacheFile);
  int complete = 0;
  QObject::connect(&checker, &SetChecker::checked, [&](int, const SetCheck &check) {
    complete += check.state == SetState::Complete ? 1 : 0;
  });
  QEventLoop loop;
  QObject::connect(&checker, &SetChecker::finished, &loop, &QEventLoop::quit);
  checker.start(lib.list, lib.archives, {lib.folder});
  loop.exec();
  return complete;
}

// Cold: no cache, every archive's directory read; warm: the cache a first
// run left.
void BM_CheckSets(benchmark::State &state, bool warm) {
  library();
  const QString cacheFile =
      scratch().filePath(warm ? QStringLiteral("warm-cache") : QStringLiteral("cold-cache"));
  if (warm)
    runCheck(cacheFile);
  int complete = 0;
  double cpuMs = 0;
  for (auto _ : state) {
    if (!warm)
      QFile::remove(cacheFile);
    const double cpuBefore = processCpuMs();
    complete = runCheck(cacheFile);
    cpuMs += processCpuMs() - cpuBefore;
  }
  state.counters["cpu_ms"] = cpuMs / double(state.iterations());
  state.counters["archives"] = kArchives;
  state.counters["complete"] = complete;
}
BENCHMARK_CAPTURE(BM_CheckSets, cold, false)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
BENCHMARK_CAPTURE(BM_CheckSets, warm, true)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);

} // namespace
