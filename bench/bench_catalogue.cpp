// Building the catalogue from two folders of 5,000 archives each, against a
// plain sorted listing of the same folders (readdir + sort). The ratio of the
// two is the figure that matters: the goal is within 2x.
#include "launcher/catalogue.h"
#include "launcher/filelistbox.h"
#include "platform/handles.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <dirent.h>
#include <string>
#include <vector>

namespace {

struct Library {
  QTemporaryDir root;
  QString roms, cdroms;
  Library() {
    roms = root.filePath("roms");
    cdroms = root.filePath("cdroms");
    QDir().mkpath(roms);
    QDir().mkpath(cdroms);
    for (int i = 0; i < 5000; ++i) {
      // Mixed case and a few non-archives, as real folders have.
      QFile(QString("%1/Game%2.zip").arg(roms).arg((i * 7919) % 100000)).open(QIODevice::WriteOnly);
      QFile(QString("%1/cd%2.ZIP").arg(cdroms).arg((i * 104729) % 100000))
          .open(QIODevice::WriteOnly);
    }
    for (int i = 0; i < 200; ++i)
      QFile(QString("%1/readme%2.txt").arg(roms).arg(i)).open(QIODevice::WriteOnly);
  }
};

Library &library() {
  static Library lib;
  return lib;
}

void BM_CatalogueBuild(benchmark::State &state) {
  Library &lib = library();
  for (auto _ : state) {
    vantor::TFileListBox romList, cdList;
    romList.setMask("*.zip");
    cdList.setMask("*.zip");
    romList.applyPath(lib.roms);
    cdList.applyPath(lib.cdroms);
    vantor::Catalogue catalogue;
    catalogue.rebuild({lib.roms, romList.directory(), romList.nativeItems()},
                      {lib.cdroms, cdList.directory(), cdList.nativeItems()});
    benchmark::DoNotOptimize(catalogue);
  }
}
BENCHMARK(BM_CatalogueBuild)->Unit(benchmark::kMillisecond);

std::vector<std::string> plainSortedListing(const QString &folder) {
  std::vector<std::string> names;
  const vantor::platform::UniqueDir dir(opendir(QFile::encodeName(folder).constData()));
  if (!dir)
    return names;
  while (const dirent *e = readdir(dir.get()))
    if (e->d_name[0] != '.')
      names.emplace_back(e->d_name);
  std::sort(names.begin(), names.end());
  return names;
}

void BM_PlainSortedListing(benchmark::State &state) {
  Library &lib = library();
  for (auto _ : state) {
    auto a = plainSortedListing(lib.roms);
    auto b = plainSortedListing(lib.cdroms);
    benchmark::DoNotOptimize(a);
    benchmark::DoNotOptimize(b);
  }
}
BENCHMARK(BM_PlainSortedListing)->Unit(benchmark::kMillisecond);

} // namespace
