// The main window's play button: hands the selected game to a launch, which
// runs beside the event loop while the window is in its playing state.
#include "launcher/mainwindow.h"

#include "controls/shadowlabel.h"
#include "launcher/filelistbox.h"
#include "launcher/launch.h"
#include "launcher/snapshotpreview.h"
#include "launcher/zipunpacker.h"
#include "platform/files.h"
#include "platform/handlerguard.h"
#include "platform/usermessage.h"
#include "settings/setupwindow.h"

#include <QCloseEvent>
#include <QStandardPaths>
#include <QTimer>

#include <unistd.h>

namespace vantor {
namespace {

// A system-wide emulator cannot take the scratch folder beside it.
bool writableFolder(const QString &folder) {
  return ::access(platform::nativePath(folder).constData(), W_OK | X_OK) == 0;
}

} // namespace

void TfrmMain::createLaunch() {
  unpacker_ = std::make_unique<ZipUnpacker>(*ZipExtractor1);
  launch_ = std::make_unique<Launch>(
      Launch::Parts{*unpacker_,
                    [this](const QStringList &arguments, const QString &folder,
                           std::function<void(const platform::RunResult &)> finished) {
                      return emulator_.start(arguments, folder, std::move(finished));
                    },
                    *shotdir, [this](const QString &text) { romname->setCaption(text); },
                    [this](int newest) {
                      if (!preview_->currentExtension().isEmpty())
                        return; // the game has a snapshot of its own
                      preview_->showScreenshot(newest);
                      shotdir->setItemIndex(newest);
                    },
                    [this] { refreshShotsFolder(); }, [this] { launchEnded(); }});
}

bool TfrmMain::playing() const {
  return launch_ && launch_->busy();
}

void TfrmMain::playClick(QObject *) {
  if (!setup_ || playing())
    return;
  // The emulator file appeared after its path was set: derive its folder now.
  if (setup_->neodir().isEmpty() && platform::fileExists(setup_->emulatorPath()))
    setup_->neolocChange(setup_->neoloc);
  if (!platform::fileExists(setup_->emulatorPath()))
    return showInformation(QStringLiteral("Choose the emulator program in the setup window first."),
                           this);
  if (listroms.count() == 0)
    return showInformation(QStringLiteral("There are no zip archives in the ROM or CD-ROM folder."),
                           this);
  LaunchSetup launchSetup{setup_->emulatorPath(), setup_->neodir(), setup_->switches()};
  launchSetup.userScratchRoot =
      platform::joinPath(QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation),
                         QStringLiteral("vantor"));
  launchSetup.emulatorDirWritable = writableFolder(setup_->neodir());
  std::optional<LaunchPlan> plan = planLaunch(listroms, launchSetup);
  if (!plan || !completePlan(*plan))
    return;
  launch_->start(*plan);
}

void TfrmMain::launchEnded() {
  // The launch ends on the ROM name; with a game list the title comes back.
  if (gameList_)
    showTitle(listroms.selectedIndex());
  ++gamesPlayed_;
  // Asked to close while the game ran: now nothing is lost by closing.
  if (closeWhenDone_)
    QTimer::singleShot(0, this, [this] { close(); });
}

// A game is running: the window stays until it has ended and the scratch
// folder is gone; an unpacking is stopped.
void TfrmMain::closeEvent(QCloseEvent *event) {
  if (!playing())
    return TForm::closeEvent(event);
  event->ignore();
  closeWhenDone_ = true;
  launch_->cancel();
  if (launch_->running())
    romname->setCaption(kClosingStatus);
}

} // namespace vantor
