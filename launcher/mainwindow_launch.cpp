// The main window's play button: hands the selected game to a launch.
#include "launcher/mainwindow.h"

#include "controls/edit.h"
#include "controls/shadowlabel.h"
#include "launcher/filelistbox.h"
#include "launcher/launch.h"
#include "launcher/snapshotpreview.h"
#include "launcher/zipunpacker.h"
#include "platform/files.h"
#include "platform/handlerguard.h"
#include "platform/process.h"
#include "settings/setupwindow.h"

#include <QCoreApplication>
#include <QScopeGuard>

namespace vantor {

void TfrmMain::playClick(QObject *) {
  runGuarded([this] { launchSelectedGame(); });
}

void TfrmMain::launchSelectedGame() {
  if (!setup_)
    return;
  // The emulator file appeared after its path was set: derive its folder now.
  if (setup_->neodir().isEmpty() && platform::fileExists(setup_->emulatorPath()))
    setup_->neolocChange(setup_->neoloc);
  const std::optional<LaunchPlan> plan =
      planLaunch(listroms, {setup_->emulatorPath(), setup_->neodir(), setup_->switches()});
  if (!plan)
    return;

  // The window repaints while it unpacks, but takes no input but Escape.
  launching_ = true;
  cancelUnpack_ = false;
  const auto unlock = qScopeGuard([this] {
    launching_ = false;
    ++gamesPlayed_;
  });
  Launch launch({*unpacker_, &platform::runAndWait, *shotdir,
                 [this](const QString &text) {
                   romname->setCaption(text);
                   // Paint the caption before the long step that follows.
                   QCoreApplication::processEvents();
                 },
                 [this](int newest) {
                   if (!preview_->currentExtension().isEmpty())
                     return; // the game has a snapshot of its own
                   preview_->showScreenshot(newest);
                   shotdir->setItemIndex(newest);
                 },
                 [this] {
                   QCoreApplication::processEvents();
                   return cancelUnpack_;
                 },
                 [this] { refreshShotsFolder(); }});
  launch.run(*plan);
}

} // namespace vantor
