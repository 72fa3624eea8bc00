#pragma once

#include "controls/form.h"
#include "controls/windowdrag.h"
#include "gamelist/setcheck.h"
#include "launcher/catalogue.h"
#include "launcher/cataloguenavigator.h"
#include "launcher/keybindings.h"
#include "platform/processwatch.h"
#include "settings/cataloguehost.h"

#include <QPointer>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QKeyEvent;
class QTimer;

namespace vantor {

namespace archive {
class TZipExtractor;
}
class SnapshotPreview;
class TFileListBox;
class TFormShaper;
class TFormStorage;
class TFrmsetup;
class TImage;
class Tmessbox;
class TPicBtn;
class TRotaryDial;
class TShadowLabel;
class Launch;
struct LaunchPlan;
class ZipUnpacker;
class GameListLoader;
class TitleIndexer;
namespace gamelist {
class GameList;
class SetChecker;
struct SetCheck;
} // namespace gamelist

// Shown while a close waits for the running game to end.
inline const QString kClosingStatus = QStringLiteral("Closing when the game ends..");

// The launcher's main window: the catalogue, the selection and the ROM name.
class TfrmMain final : public TForm, public CatalogueHost {
  Q_OBJECT

public:
  explicit TfrmMain(QWidget *parent = nullptr);
  ~TfrmMain() override;

  void setSetupWindow(TFrmsetup *setup) { setup_ = setup; }
  void setAboutWindow(TForm *about) { about_ = about; }
  // The box that confirms a snapshot's deletion; without one nothing is deleted.
  void setConfirmBox(Tmessbox *box) { messbox_ = box; }
  // The game list the command line names; it wins over the one chosen in
  // the setup window. With neither, the first one in the ROM folder is read.
  void setGameListFile(const QString &file) { gameListFile_ = file; }

  // What the keys give; the usual ones until the settings say otherwise.
  void setKeyBindings(KeyBindings bindings) { keys_ = std::move(bindings); }
  // One command of the window, whether from a key or a pad.
  void perform(MainKey action);
  // Launches ended so far, so that input made during one is known as such
  // even by a reader that did not run meanwhile.
  int gamesPlayed() const { return gamesPlayed_; }

  // CatalogueHost
  void applyRomFolder(const QString &path) override;
  void applyCdRomFolder(const QString &path) override;
  void applyShotsFolder(const QString &path) override;
  void poplist() override;
  // Points the screenshot list at the emulator's "shots" folder when it has
  // come into being since; the re-read after a run needs it first.
  void refreshShotsFolder();

  void FormShow(QObject *sender);
  void RotaryDial1Change(QObject *sender);
  void dirbackCommand(QObject *sender);
  void dirfowardCommand(QObject *sender);

  // The skin toggle, the exit, setup and about buttons, and dragging by the skin.
  void previewCommand(QObject *sender);
  void exitallCommand(QObject *sender);
  void exitallClick(QObject *sender);
  void SetupClick(QObject *sender);
  void aboutClick(QObject *sender);
  void backMouseDown(QObject *sender, Qt::MouseButton button, Qt::KeyboardModifiers shift, int x,
                     int y);
  void backMouseMove(QObject *sender, Qt::KeyboardModifiers shift, int x, int y);
  void backMouseUp(QObject *sender, Qt::MouseButton button, Qt::KeyboardModifiers shift, int x,
                   int y);
  bool bigSkinShown() const;
  // Dragging by the skin moves the window, unless the window fills a
  // cabinet's screen, where it must stay put.
  void setMovable(bool movable) { movable_ = movable; }

  // The selected catalogue entry (its name and the folder it was listed in);
  // null when the catalogue is empty.
  const CatalogueEntry *selectedEntry() const { return listroms.selected(); }
  // The selected entry's ROM name; empty when nothing is selected.
  QString romName() const;
  // Snapsloc + separator + ROM name, without extension.
  QString snapshotBasePath() const;
  void showSnapshot(const QString &basePath, bool switchButton);
  SnapshotPreview &snapshotPreview() { return *preview_; }

  void snapbackClick(QObject *sender);
  void snapfwdClick(QObject *sender);
  // Adopt mode: the picture on show becomes the selected game's snapshot.
  // Delete mode: asks in the confirmation box, then deletes the snapshot.
  void usedelCommand(QObject *sender);
  // Unpacks the selected game, runs the emulator on it, cleans up after it
  // and previews a new screenshot; the event loop runs meanwhile.
  void playClick(QObject *sender);
  // From play until the game has ended and its scratch folder is gone: the
  // window then takes no input but Escape (stop the unpacking), the exit
  // and a drag.
  bool playing() const;

  Catalogue listroms;
  TShadowLabel *romname;
  TRotaryDial *RotaryDial1;
  TFileListBox *FileListBox1;
  TFileListBox *FileListBox2;
  TFileListBox *shotdir;
  // The skin: `back` shows the current one and gives the window its outline;
  // `backsmall` and `backbig` hold the two skin bitmaps.
  TImage *back;
  TImage *backsmall;
  TImage *backbig;
  TImage *snaps;
  TFormShaper *FormShaper1;

  TPicBtn *exitall;
  TPicBtn *setup;
  TPicBtn *about;
  TPicBtn *play;
  TPicBtn *preview;
  TPicBtn *dirback;
  TPicBtn *dirfoward;
  TPicBtn *usedel;
  TPicBtn *snapback;
  TPicBtn *snapfwd;
  archive::TZipExtractor *ZipExtractor1;
  TFormStorage *FormStorage1;

protected:
  // The window's keys, whichever of its controls has the focus; and, while a
  // game is being played, the controls that must wait.
  bool eventFilter(QObject *watched, QEvent *event) override;
  void closeEvent(QCloseEvent *event) override;

private:
  bool takeKey(QWidget *receiver, const QKeyEvent &key);
  bool inputWhilePlaying(QObject *watched, const QEvent &event);
  void watchInput();
  void createLaunch();
  void launchEnded();
  void jumpTo(int index);

  void selectEntry(int index);
  // The ROM name caption and hint for an entry: the set's title with a game
  // list, the ROM name without one.
  void showTitle(int index);
  QString chosenGameList() const;
  // Reads the chosen list, unless it is the one read (or being read) already.
  void loadGameList();
  void gameListLoaded(std::shared_ptr<const gamelist::GameList> list, const QString &error);
  // Checks the catalogue's sets against the game list in the background.
  void startSetChecks();
  void setChecked(int index, const gamelist::SetCheck &check);
  // With a game list, an incomplete set is played only when the user says so.
  const gamelist::SetCheck *selectedSetCheck();
  bool completePlan(LaunchPlan &plan);
  // Has the titles' words made on a worker; typing finds ROM names only
  // until they are in.
  void giveTitlesToNavigator();
  // With a game list, what was typed shows in the caption for a moment.
  void showTyped();
  void showFirstTime();
  void createSkin();
  void createButtons();

  void adoptShownSnapshot();

  TFrmsetup *setup_ = nullptr;
  QPointer<TForm> about_;
  Tmessbox *messbox_ = nullptr;
  std::unique_ptr<SnapshotPreview> preview_;
  std::unique_ptr<ZipUnpacker> unpacker_;
  platform::ProcessWatch emulator_;
  std::unique_ptr<Launch> launch_;
  bool closeWhenDone_ = false;
  WindowDrag drag_;
  CatalogueNavigator navigator_;
  GameListLoader *gameListLoader_ = nullptr;
  TitleIndexer *titleIndexer_ = nullptr;
  QString gameListFile_;
  std::shared_ptr<const gamelist::GameList> gameList_;
  QFont romnameFont_; // the caption's own font; long titles shrink from it
  gamelist::SetChecker *setChecker_ = nullptr;
  std::vector<std::optional<gamelist::SetCheck>> setChecks_; // by catalogue entry
  QTimer *typedShown_ = nullptr;
  KeyBindings keys_;
  int gamesPlayed_ = 0;
  bool movable_ = true;
  void bindSkinButtons();
};

} // namespace vantor
