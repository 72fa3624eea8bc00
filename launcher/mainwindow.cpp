#include "launcher/mainwindow.h"

#include "archive/unziplibrary.h"
#include "archive/zipextractor.h"
#include "controls/colors.h"
#include "controls/edit.h"
#include "controls/fonts.h"
#include "controls/formshaper.h"
#include "controls/image.h"
#include "controls/picbtn.h"
#include "controls/rotarydial.h"
#include "controls/shadowlabel.h"
#include "gamelist/listingcache.h"
#include "gamelist/setchecker.h"
#include "launcher/catalogue.h"
#include "launcher/filelistbox.h"
#include "launcher/gamelistloader.h"
#include "launcher/launch.h"
#include "launcher/messbox.h"
#include "launcher/snapshotpreview.h"
#include "launcher/titleindexer.h"
#include "launcher/zipunpacker.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/handlerguard.h"
#include "settings/formstorage.h"
#include "settings/setupwindow.h"
#include "skins/skins.h"

#include <QCoreApplication>
#include <QDir>
#include <QTimer>

#include <iterator>

namespace vantor {
namespace {

#ifndef VANTOR_PRIVATE_LIBDIR_FROM_BIN
#define VANTOR_PRIVATE_LIBDIR_FROM_BIN "../lib/vantor"
#endif

// The unzip library sits beside the program in the build tree and in the
// program's private library folder once installed.
QString unzipLibraryFolder() {
  const QDir program(QCoreApplication::applicationDirPath());
  if (platform::fileExists(program.filePath(archive::UnzipLibrary::fileName())))
    return program.path();
  return QDir::cleanPath(program.filePath(QStringLiteral(VANTOR_PRIVATE_LIBDIR_FROM_BIN)));
}

constexpr QSize kSmallSkinSize{316, 340};
constexpr QPoint kFirstPlace{141, 108};
// The window's own colour matches the skins' flat button strips, so buttons
// composed off the current skin's picture still blend in.
constexpr QColor kWindowColor{40, 26, 70};

// One picture button of the main window and its settings.
struct ButtonSetup {
  const char *name;
  QPoint place;
  const char *hint;
  int numStates;
  int sActive, sInActive, sDisabled, sDown;
  int nextState;
  bool masked;
  TColor maskColor;
  int firstWait;
};

constexpr ButtonSetup kButtons[] = {
    {"exitall", {252, 248}, "Bye Bye", 3, 1, 1, 3, 2, 0, true, clWhite, 250},
    {"setup", {196, 248}, "Setup", 3, 1, 2, 3, 2, 0, true, clWhite, 250},
    {"about", {168, 248}, "Ego", 3, 1, 2, 3, 2, 0, true, clWhite, 250},
    {"play", {52, 248}, "Ecstasy", 3, 1, 2, 3, 2, 0, false, clBlack, 250},
    {"preview", {224, 248}, "Snap", 3, 1, 2, 3, 2, 0, true, clWhite, 1},
    {"dirback", {58, 207}, "Decrease", 3, 1, 2, 3, 2, 0, true, clWhite, 250},
    {"dirfoward", {225, 209}, "Increase", 3, 1, 2, 3, 2, 0, true, clWhite, 250},
    {"usedel", {358, 226}, "", 4, 1, 3, 4, 2, 3, false, 0x181808, 1},
    {"snapback", {326, 225}, "Decrease", 3, 1, 2, 3, 2, 0, true, clWhite, 250},
    {"snapfwd", {475, 225}, "Increase", 3, 1, 2, 3, 2, 0, true, clWhite, 250},
};

// Frame numbers are clamped against the count in force, so they are set in
// this order: BtnState and NextState, NumStates, then the four frames.
TPicBtn *createButton(QWidget *parent, const ButtonSetup &s) {
  auto *button = new TPicBtn(parent);
  button->setObjectName(QLatin1String(s.name));
  button->maskedPicture()->setMaskColor(s.maskColor);
  button->maskedPicture()->setPicture(skins::image(QLatin1String(s.name)));
  button->setMasked(s.masked);
  button->setBtnState(1);
  button->setNextState(s.nextState);
  button->setNumStates(s.numStates);
  button->setsActive(s.sActive);
  button->setsInActive(s.sInActive);
  button->setsDisabled(s.sDisabled);
  button->setsDown(s.sDown);
  button->setDrawFocus(false);
  button->setFocusColor(clBlack);
  button->setFirstWait(s.firstWait);
  button->setRepeate(55);
  button->setToolTip(QString::fromLatin1(s.hint));
  button->move(s.place);
  return button;
}

} // namespace

TfrmMain::TfrmMain(QWidget *parent) : TForm(parent) {
  setObjectName(QStringLiteral("frmMain"));
  setWindowTitle(QStringLiteral("Vantor"));
  setFixedSize(kSmallSkinSize);
  move(kFirstPlace);
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, kWindowColor);
  setPalette(pal);

  createSkin();

  FileListBox1 = new TFileListBox(this);
  FileListBox1->setObjectName(QStringLiteral("FileListBox1"));
  FileListBox1->setMask(QStringLiteral("*.zip"));
  FileListBox2 = new TFileListBox(this);
  FileListBox2->setObjectName(QStringLiteral("FileListBox2"));
  FileListBox2->setMask(QStringLiteral("*.zip"));
  shotdir = new TFileListBox(this);
  shotdir->setObjectName(QStringLiteral("shotdir"));
  shotdir->setMask(QStringLiteral("shot*.bmp"));

  RotaryDial1 = new TRotaryDial(this);
  RotaryDial1->setObjectName(QStringLiteral("RotaryDial1"));
  RotaryDial1->setGeometry(72, 60, 177, 177);
  RotaryDial1->setColor(clTeal);
  RotaryDial1->setMax(0);
  RotaryDial1->setSoundType(TRotaryDial::wssNone);
  RotaryDial1->setWaveOptions({TRotaryDial::woNoDefault, TRotaryDial::woNoStop});
  RotaryDial1->setToolTip(QStringLiteral("Spin That Dial"));
  RotaryDial1->OnChange = [this](QObject *s) { RotaryDial1Change(s); };

  // Fixed size first, so the caption does not re-fit the label.
  romname = new TShadowLabel(this);
  romname->setObjectName(QStringLiteral("romname"));
  romname->setAutoSize(false);
  romname->setGeometry(32, 306, 257, 17);
  romname->setAlignment(taCenter);
  romname->setFont(uiFont(13, true));
  romname->setFontColor(clYellow);
  romname->setShadowSize(0);
  romname->setTransparent(true);
  romname->setCaption(QStringLiteral("< ROM NAME >"));
  romnameFont_ = romname->font();

  createButtons();
  preview_ = std::make_unique<SnapshotPreview>(
      SnapshotPreview::Parts{FormShaper1, backbig, snaps, usedel, snapback, snapfwd, shotdir});
  snapback->OnClick = [this](QObject *s) { snapbackClick(s); };
  snapfwd->OnClick = [this](QObject *s) { snapfwdClick(s); };
  usedel->OnCommand = [this](QObject *s) { usedelCommand(s); };
  play->OnClick = [this](QObject *s) { playClick(s); };
  bindSkinButtons();

  ZipExtractor1 = new archive::TZipExtractor(this);
  ZipExtractor1->setObjectName(QStringLiteral("ZipExtractor1"));
  ZipExtractor1->setDLLDirectory(unzipLibraryFolder());
  createLaunch();

  gameListLoader_ = new GameListLoader(this);
  connect(gameListLoader_, &GameListLoader::loaded, this,
          [this](std::shared_ptr<const gamelist::GameList> list, const QString &error) {
            gameListLoaded(std::move(list), error);
          });
  titleIndexer_ = new TitleIndexer(this);
  titleIndexer_->OnIndexed = [this](QObject *, std::vector<QStringList> words) {
    navigator_.setTitleWords(std::move(words));
  };
  typedShown_ = new QTimer(this);
  typedShown_->setSingleShot(true);
  typedShown_->setInterval(CatalogueNavigator::kTypingPause);
  connect(typedShown_, &QTimer::timeout, this, [this] {
    if (!playing())
      showTitle(listroms.selectedIndex());
  });
  setChecker_ = new gamelist::SetChecker(gamelist::ListingCache::defaultFile(), this);
  connect(setChecker_, &gamelist::SetChecker::checked, this,
          [this](int index, const gamelist::SetCheck &check) { setChecked(index, check); });

  watchInput();

  OnShow = [this](QObject *s) { FormShow(s); };
  // Last, so that it hooks the handlers above: the position and skin come
  // back before FormShow runs.
  FormStorage1 = addFormStorage(this, QStringLiteral("main"), TFormPlacement::fpPosition,
                                {QStringLiteral("FormShaper1.Tag")});
}

void TfrmMain::createSkin() {
  back = new TImage(this);
  back->setObjectName(QStringLiteral("back"));
  backsmall = new TImage(this);
  backsmall->setObjectName(QStringLiteral("backsmall"));
  backsmall->setGeometry(0, 0, 317, 341);
  backsmall->setPicture(skins::image(QStringLiteral("backsmall")));
  backsmall->hide();
  backbig = new TImage(this);
  backbig->setObjectName(QStringLiteral("backbig"));
  backbig->setGeometry(0, 0, 550, 340);
  backbig->setPicture(skins::image(QStringLiteral("backbig")));
  backbig->hide();
  snaps = new TImage(this);
  snaps->setObjectName(QStringLiteral("snaps"));
  snaps->setGeometry(332, 52, 161, 161);
  snaps->setStretch(true);

  // The picture first, silently; then the mask colour, which sizes the form
  // and builds the outline once; then the rest.
  FormShaper1 = new TFormShaper(this);
  FormShaper1->setObjectName(QStringLiteral("FormShaper1"));
  FormShaper1->maskedPicture()->loadPicture(backsmall->picture());
  FormShaper1->maskedPicture()->setMaskColor(clYellow);
  FormShaper1->setShowCaption(false);
  FormShaper1->setActive(false);
  FormShaper1->setWindowMove(TFormShaper::NoMove);
  FormShaper1->setBackgrnd(back);
}

void TfrmMain::createButtons() {
  TPicBtn **fields[] = {&exitall, &setup,     &about,  &play,     &preview,
                        &dirback, &dirfoward, &usedel, &snapback, &snapfwd};
  static_assert(std::size(kButtons) == 10);
  for (std::size_t i = 0; i < std::size(kButtons); ++i)
    *fields[i] = createButton(this, kButtons[i]);
  exitall->setTabStop(true);
  dirback->OnCommand = [this](QObject *s) { dirbackCommand(s); };
  dirfoward->OnCommand = [this](QObject *s) { dirfowardCommand(s); };
}

TfrmMain::~TfrmMain() {
  fireDestroy();
}

void TfrmMain::applyRomFolder(const QString &path) {
  FileListBox1->applyPath(path);
}

void TfrmMain::applyCdRomFolder(const QString &path) {
  FileListBox2->applyPath(path);
}

void TfrmMain::applyShotsFolder(const QString &path) {
  shotdir->applyPath(path);
}

void TfrmMain::refreshShotsFolder() {
  if (!setup_ || setup_->neodir().isEmpty())
    return;
  // The emulator makes its screenshot folder on its first shot, so a list
  // set before that still points elsewhere.
  const QString shots = setup_->neodir() + QStringLiteral("shots");
  // Already there: the list keeps its selection.
  if (platform::folderExists(shots) &&
      QDir::cleanPath(shotdir->directory()) != QDir::cleanPath(shots))
    applyShotsFolder(shots);
}

void TfrmMain::FormShow(QObject *) {
  if (!setup_)
    return;
  runGuarded([this] { showFirstTime(); });
}

void TfrmMain::showFirstTime() {
  // The stored settings go into the hidden setup window; its path handlers
  // point the lists at the stored folders.
  setup_->restoreQuietly();
  if (FormShaper1->tag() == 1) {
    FormShaper1->maskedPicture()->setPicture(backbig->picture());
    RotaryDial1Change(RotaryDial1);
  }
  if (platform::folderExists(setup_->romFolder()))
    FileListBox1->applyPath(setup_->romFolder());
  else
    setup_->showModal();
  if (platform::folderExists(setup_->cdromFolder()))
    FileListBox2->applyPath(setup_->cdromFolder());
  poplist();
}

void TfrmMain::poplist() {
  listroms.clear();
  if (setup_) {
    // The tests are on the texts only; an unset list still lists the start-up folder.
    const auto half = [](const QString &text, TFileListBox *list) {
      return text.isEmpty() ? CatalogueHalf{}
                            : CatalogueHalf{text, list->directory(), list->nativeItems()};
    };
    listroms.rebuild(half(setup_->romloc->text(), FileListBox1),
                     half(setup_->cdromloc->text(), FileListBox2));
  }
  navigator_.setCatalogue(listroms);
  // Read once per list, on a worker; titles appear when it is in.
  loadGameList();
  giveTitlesToNavigator();
  startSetChecks();
  if (listroms.isEmpty())
    return;
  RotaryDial1->setMax(listroms.count() - 1);
  // The dial goes back to the first entry with the caption, so play always
  // takes the entry on show; its change event then selects entry 0.
  if (RotaryDial1->position() != 0)
    RotaryDial1->setPosition(0);
  else
    selectEntry(0);
}

void TfrmMain::RotaryDial1Change(QObject *) {
  if (listroms.isEmpty())
    return;
  selectEntry(RotaryDial1->position());
}

void TfrmMain::selectEntry(int index) {
  if (index < 0 || index >= listroms.count())
    return;
  listroms.select(index);
  showTitle(index);
  showSnapshot(snapshotBasePath(), true);
}

void TfrmMain::dirbackCommand(QObject *) {
  if (RotaryDial1->position() > 0)
    RotaryDial1->setPosition(RotaryDial1->position() - 1);
}

void TfrmMain::dirfowardCommand(QObject *) {
  if (RotaryDial1->position() < RotaryDial1->max())
    RotaryDial1->setPosition(RotaryDial1->position() + 1);
}

QString TfrmMain::romName() const {
  const CatalogueEntry *entry = selectedEntry();
  return entry ? entry->romName() : QString();
}

QString TfrmMain::snapshotBasePath() const {
  return setup_ ? setup_->snapsFolder() + platform::pathSeparator() + romName() : QString();
}

void TfrmMain::showSnapshot(const QString &basePath, bool switchButton) {
  preview_->show(basePath, switchButton);
}

void TfrmMain::snapbackClick(QObject *) {
  preview_->stepBack();
}

void TfrmMain::snapfwdClick(QObject *) {
  preview_->stepForward();
}

void TfrmMain::usedelCommand(QObject *) {
  // Back on its face at once, failed or not: a button held through the box
  // or an error message must not ask or adopt again by itself.
  const auto backOnFace = qScopeGuard([this] {
    if (usedel->btnState() == usedel->sDown())
      usedel->setBtnState(usedel->nextState() != 0 ? usedel->nextState() : usedel->sActive());
  });
  if (preview_->buttonMode() == SnapshotPreview::DeleteMode) {
    if (messbox_ && messbox_->ask())
      preview_->deleteShown();
    if (preview_->currentExtension().isEmpty())
      preview_->enterAdoptMode();
  } else {
    adoptShownSnapshot();
  }
}

void TfrmMain::adoptShownSnapshot() {
  if (preview_->currentExtension().isEmpty() || !setup_)
    return;
  const QString rom = romName();
  if (rom.isEmpty())
    throw Error(QStringLiteral("There is no game selected to take the snapshot."));
  if (setup_->snapsFolder().isEmpty())
    throw Error(QStringLiteral("The snapshot could not be saved: no snapshots folder is set."));
  preview_->adoptShown(snapshotBasePath());
}

} // namespace vantor
