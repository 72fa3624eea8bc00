#include "app/cabinet.h"
#include "app/commandline.h"
#include "app/platformchoice.h"
#include "app/playercontrols.h"
#include "app/pointerhider.h"
#include "app/windows.h"
#include "launcher/aboutwindow.h"
#include "launcher/mainwindow.h"
#include "launcher/messbox.h"
#include "platform/files.h"
#include "settings/inifilename.h"
#include "settings/setupwindow.h"

#include <QApplication>
#include <cstdio>
#include <memory>

namespace {

QStringList rawArguments(int argc, char **argv) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i)
    arguments << QString::fromLocal8Bit(argv[i]);
  return arguments;
}

int finish(const vantor::CommandLine &line) {
  std::fputs(line.output.toLocal8Bit().constData(), stdout);
  std::fputs(line.error.toLocal8Bit().constData(), stderr);
  return line.exitCode;
}

} // namespace

int main(int argc, char **argv) {
  vantor::setApplicationIdentity();
  const QStringList raw = rawArguments(argc, argv);
  // Before the application object, which needs a display: help, the version
  // and every mistake are answered on the terminal alone.
  const vantor::CommandLine line = vantor::parseCommandLine(raw);
  if (!line.run)
    return finish(line);
  vantor::PlatformPreference platform(raw);
  // Relative folders in the settings mean the folder the program was started in.
  vantor::platform::startFolder();
  QApplication app(argc, argv);
  platform.release();
  // Qt's constructor takes the name from the executable; keep the program's own.
  vantor::setApplicationIdentity();
  vantor::setIniFilePathOverride(line.configFile);
  QApplication::setDesktopFileName(QStringLiteral(VANTOR_APP_ID));
  vantor::Windows windows = vantor::createWindows();
  windows.frmMain->setGameListFile(line.gameList);
  auto controls = std::make_unique<vantor::PlayerControls>(
      *windows.frmMain, vantor::defaultIniFilePath(), line.cabinet);
  std::unique_ptr<vantor::CabinetScreen> cabinet;
  std::unique_ptr<vantor::PointerHider> pointer;
  if (controls->cabinet()) {
    cabinet = std::make_unique<vantor::CabinetScreen>(
        *windows.frmMain, QList<vantor::TForm *>{windows.Frmsetup.get(), windows.frmabout.get(),
                                                 windows.messbox.get()});
    pointer = std::make_unique<vantor::PointerHider>();
    cabinet->showOnPrimaryScreen();
  } else {
    windows.frmMain->show();
  }
  const int result = QApplication::exec();
  controls.reset();
  pointer.reset();
  cabinet.reset(); // gives the main window back before the windows go
  vantor::destroyWindows(windows);
  return result;
}
