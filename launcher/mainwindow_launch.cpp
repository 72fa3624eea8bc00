// The main window's play button: unpack, run the emulator, clean up.
#include "archive/zipextractor.h"
#include "catalogue.h"
#include "commandline.h"
#include "controls/edit.h"
#include "platform/handlerguard.h"
#include "controls/radiogroup.h"
#include "controls/rotarydial.h"
#include "controls/shadowlabel.h"
#include "filelistbox.h"
#include "mainwindow.h"
#include "platform/deletetree.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/process.h"
#include "settings/setupwindow.h"
#include "snapshotpreview.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace vantor {
namespace {

void showStatus(TShadowLabel *label, const QString &text) {
  label->setCaption(text);
  // Paint the caption before the long step that follows.
  QCoreApplication::processEvents();
}

} // namespace

void TfrmMain::playClick(QObject *) {
  try {
    launchSelectedGame();
  } catch (...) {
    reportHandlerException();
  }
}

void TfrmMain::launchSelectedGame() {
  if (!setup_ || !platform::fileExists(setup_->neoloc->text()))
    return;
  // With nothing in the catalogue there is no game to start.
  const int position = RotaryDial1->position();
  if (position < 0 || position >= listroms.items.size())
    return;
  // The emulator file appeared after its path was set: derive its folder now.
  if (setup_->neodir().isEmpty())
    setup_->neolocChange(setup_->neoloc);
  const QString neodir = setup_->neodir();
  if (neodir.isEmpty())
    return;

  const int shotsBefore = shotdir->count();
  showStatus(romname, QStringLiteral("Please Wait..Unzipping ROM.."));

  const QString entry = listroms.items[position];
  const QString inRoms = setup_->romloc->text() + platform::pathSeparator() + entry;
  const QString inCdroms = setup_->cdromloc->text() + platform::pathSeparator() + entry;
  if (platform::fileExists(inRoms))
    extractArchive(inRoms);
  else if (platform::fileExists(inCdroms))
    extractArchive(inCdroms);

  if (!platform::setCurrentFolder(neodir))
    throw InOutError(QStringLiteral("I/O error: cannot open folder %1").arg(neodir));

  LaunchSwitches switches;
  switches.emulator = setup_->neoloc->text();
  switches.emulatorDir = neodir;
  switches.scanlines = setup_->scanlines->itemIndex();
  switches.vsync = setup_->vsync->itemIndex();
  switches.joystick = setup_->Joystick->itemIndex();
  switches.vga = setup_->vga->itemIndex();
  switches.modex = setup_->modex->itemIndex();
  switches.noanal = setup_->noanal->itemIndex();
  switches.frameskip = setup_->frameskip->property("Value").toInt();
  switches.addcmds = setup_->addcmds->text();

  showStatus(romname, QStringLiteral("Running NEORAGE.."));
  runEmulator(emulatorCommandLine(switches));
  platform::deleteTree(scratchFolder(neodir), true);
  romname->setCaption(romNameOf(entry));

  shotdir->update();
  if (preview_->currentExtension().isEmpty() && shotdir->count() != shotsBefore &&
      shotdir->count() > 0) {
    const int newest = shotdir->count() - 1;
    preview_->showScreenshot(newest);
    shotdir->setItemIndex(newest);
  }
}

void TfrmMain::extractArchive(const QString &archivePath) {
  ZipExtractor1->setZipFilename(archivePath);
  if (ZipExtractor1->EntryCount() == 0) {
    ShowMessage(QStringLiteral("Error - no files in the Zip file"));
    return;
  }
  const QString scratch = scratchFolder(setup_->neodir());
  // Unpacking through a link would overwrite files outside the scratch folder.
  if (QFileInfo(scratch).isSymLink())
    throw InOutError(QStringLiteral("I/O error: %1 is a link, not a folder").arg(scratch));
  if (!platform::folderExists(scratch) && !QDir().mkdir(scratch))
    throw InOutError(QStringLiteral("I/O error: cannot create folder %1").arg(scratch));
  ZipExtractor1->setExtrBaseDir(scratch);
  ZipExtractor1->setExtrOptions(ZipExtractor1->ExtrOptions() |
                                archive::TZipExtractor::ExtrOverWrite);
  ZipExtractor1->Extract();
}

void TfrmMain::runEmulator(const QString &commandLine) {
  const platform::RunResult run = platform::winExecAndWait(commandLine, setup_->neodir());
  if (!run.started)
    ShowMessage(QStringLiteral("Unable to start %1: %2").arg(setup_->neoloc->text(), run.error));
}

} // namespace vantor
