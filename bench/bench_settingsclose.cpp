// Closing the program with the main, setup and about windows' storages all
// restored: the main window's close saves "main", the destroy of the windows
// saves "setup" and "about". Reports the file replacements per close beside
// the wall time, with a small settings file and with one that carries a
// large unrelated section.
#include "app/windows.h"
#include "launcher/aboutwindow.h"
#include "launcher/mainwindow.h"
#include "platform/profile.h"
#include "settings/formstorage.h"
#include "settings/inifilename.h"
#include "settings/setupwindow.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

using vantor::platform::ProfileFile;

class ProgramFolder {
public:
  ProgramFolder() {
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(root_.filePath(QStringLiteral("config"))));
    QApplication::setQuitOnLastWindowClosed(false);
    iniPath_ = vantor::defaultIniFilePath();
    const QString neo = root_.filePath(QStringLiteral("NEORAGE"));
    for (const char *folder : {"shots", "ROMS", "CDROMS", "SNAPS"})
      QDir().mkpath(neo + u'/' + QLatin1String(folder));
    for (const char *file : {"NEORAGE.EXE", "ROMS/pacman.zip", "CDROMS/samsho.zip"})
      QFile(neo + u'/' + QLatin1String(file)).open(QIODevice::WriteOnly);
    setup_ = "[setup]\nneoloc_Text=" + QFile::encodeName(neo) +
             "/NEORAGE.EXE\nromloc_Text=" + QFile::encodeName(neo) +
             "/ROMS\ncdromloc_Text=" + QFile::encodeName(neo) + "/CDROMS\n";
  }

  // A settings file with the setup section and `extraBytes` of another program's keys.
  void reset(qsizetype extraBytes) const {
    QByteArray data = setup_;
    if (extraBytes > 0) {
      data += "[history]\n";
      for (int i = 0; data.size() < extraBytes; ++i)
        data += "entry" + QByteArray::number(i) + "=" + QByteArray(60, 'x') + "\n";
    }
    QFile file(iniPath_);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
      file.write(data);
  }

private:
  QTemporaryDir root_;
  QString iniPath_;
  QByteArray setup_;
};

void BM_CloseProgram(benchmark::State &state) {
  static ProgramFolder folder;
  qint64 replacements = 0;
  ProfileFile::setSaveFault([&](ProfileFile::SaveStep step) {
    if (step == ProfileFile::SaveStep::Rename)
      ++replacements;
    return false;
  });
  for (auto _ : state) {
    state.PauseTiming();
    folder.reset(state.range(0));
    vantor::Windows windows = vantor::createWindows();
    windows.frmMain->show();
    windows.frmabout->findChild<vantor::TFormStorage *>()->LoadWindowSettings();
    const qint64 before = replacements;
    state.ResumeTiming();
    windows.frmMain->close();
    vantor::destroyWindows(windows);
    state.PauseTiming();
    state.counters["writes"] = static_cast<double>(replacements - before);
    state.ResumeTiming();
  }
  ProfileFile::setSaveFault({});
}
BENCHMARK(BM_CloseProgram)->Arg(0)->Arg(4 << 20)->Unit(benchmark::kMillisecond);

} // namespace
