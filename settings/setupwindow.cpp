#include "settings/setupwindow.h"

#include "controls/background.h"
#include "controls/colors.h"
#include "controls/edit.h"
#include "controls/fonts.h"
#include "controls/maskedpicture.h"
#include "controls/picbtn.h"
#include "controls/radiogroup.h"
#include "controls/shadowlabel.h"
#include "controls/valueslider.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/handlerguard.h"
#include "settings/cataloguehost.h"
#include "settings/fileedits.h"
#include "settings/formstorage.h"
#include "skins/skins.h"

#include <QApplication>
#include <QKeyEvent>

namespace vantor {
namespace {

// Five path rows share the height four had, so the window still fits a
// 1024 x 768 screen at scale 2 (384 logical lines).
constexpr int kPathTop = 2;
constexpr int kPathPitch = 24;
constexpr int kPathHeight = 22;
constexpr int kClientWidth = 356;
constexpr int kClientHeight = 381;
constexpr QPoint kFirstPlace{398, 288};

const QStringList kYesNo{QStringLiteral("Yes"), QStringLiteral("No")};

QString inputStyle() {
  return QStringLiteral("background-color: %1; color: %2;")
      .arg(toQColor(clTeal).name(), toQColor(clYellow).name());
}

// Only the edit itself: the browse button keeps its own face.
QString pathEditStyle() {
  return QStringLiteral("QLineEdit { %1 }").arg(inputStyle());
}

} // namespace

QString emulatorFolderOf(const QString &emulatorPath) {
  const qsizetype cut = emulatorPath.lastIndexOf(platform::pathSeparator());
  return emulatorPath.left(cut + 1);
}

TFrmsetup::TFrmsetup(QWidget *parent) : TForm(parent) {
  setObjectName(QStringLiteral("Frmsetup"));
  setWindowTitle(QStringLiteral("Setup"));
  setFixedSize(kClientWidth, kClientHeight);
  move(kFirstPlace);
  buildControls();
  FormStorage1 = addFormStorage(
      this, QStringLiteral("setup"), TFormPlacement::fpState | TFormPlacement::fpPosition,
      {QStringLiteral("neoloc.Text"), QStringLiteral("Snapsloc.Text"),
       QStringLiteral("Joystick.ItemIndex"), QStringLiteral("noanal.ItemIndex"),
       QStringLiteral("vga.ItemIndex"), QStringLiteral("vsync.ItemIndex"),
       QStringLiteral("addcmds.Text"), QStringLiteral("romloc.Text"),
       QStringLiteral("modex.ItemIndex"), QStringLiteral("frameskip.Value"),
       QStringLiteral("scanlines.ItemIndex"), QStringLiteral("cdromloc.Text"),
       QStringLiteral("datloc.Text")});
}

TFrmsetup::~TFrmsetup() {
  fireDestroy();
}

void TFrmsetup::buildControls() {
  skins::init();
  // The tiled background comes first so every other control lies above it;
  // the window is dragged by it.
  Background1 = new TBackground(this);
  Background1->setObjectName(QStringLiteral("Background1"));
  Background1->setAlign(TBackground::alClient);
  Background1->setBackStyle(TBackground::bgTileBitmap);
  Background1->setColor1(clWhite);
  Background1->setColor2(clBlack);
  Background1->setPicture(skins::image(QStringLiteral("setuptile")));
  Background1->OnMouseDown = [this](QObject *s, Qt::MouseButton b, Qt::KeyboardModifiers m, int x,
                                    int y) { Background1MouseDown(s, b, m, x, y); };
  Background1->OnMouseMove = [this](QObject *s, Qt::KeyboardModifiers m, int x, int y) {
    Background1MouseMove(s, m, x, y);
  };
  Background1->OnMouseUp = [this](QObject *s, Qt::MouseButton b, Qt::KeyboardModifiers m, int x,
                                  int y) { Background1MouseUp(s, b, m, x, y); };

  auto label = [this](const char *name, const QString &caption, QRect place) {
    auto *l = new TShadowLabel(this);
    l->setObjectName(QLatin1String(name));
    l->setAutoSize(false);
    l->setGeometry(place);
    l->setFont(uiFont(13, true));
    l->setFontColor(clYellow);
    l->setShadowSize(0);
    l->setTransparent(true);
    l->setCaption(caption);
  };
  auto edit = [this](const char *name, QRect place, const QString &hint) {
    auto *e = new TEdit(this);
    e->setObjectName(QLatin1String(name));
    e->setGeometry(place);
    e->setToolTip(hint);
    e->setStyleSheet(inputStyle());
    e->setFont(uiFont(11));
    return e;
  };
  auto pathEdit = [this](auto *e, const char *name, QRect place, const QString &hint) {
    e->setObjectName(QLatin1String(name));
    e->setGeometry(place);
    e->setToolTip(hint);
    e->setStyleSheet(pathEditStyle());
    e->setFont(uiFont(11));
    e->setGlyphKind(TCustomComboEdit::gkEllipsis);
    e->setNumGlyphs(1);
    return e;
  };
  auto folderEdit = [&](const char *name, QRect place, const QString &hint) {
    auto *e = pathEdit(new TDirectoryEdit(this), name, place, hint);
    e->setDialogKind(TDirectoryEdit::dkWin32);
    return e;
  };
  auto group = [this](const char *name, const QString &caption, QRect place,
                      const QStringList &items, const QString &hint) {
    auto *g = new TRadioGroup(this);
    g->setObjectName(QLatin1String(name));
    g->setTitle(caption);
    g->setGeometry(place);
    g->setToolTip(hint);
    g->setStyleSheet(inputStyle());
    g->setFont(uiFont(11));
    g->setItems(items);
    g->setItemIndex(1);
    return g;
  };

  const auto field = [](int row) {
    return QRect(113, kPathTop + row * kPathPitch, 204, kPathHeight);
  };
  const auto fieldLabel = [](int row, int width) {
    return QRect(24, kPathTop + row * kPathPitch + 3, width, 16);
  };
  label("ShadowLabel3", QStringLiteral("NeoRage"), fieldLabel(0, 70));
  neoloc =
      pathEdit(new TFilenameEdit(this), "neoloc", field(0), QStringLiteral("Neorage Location"));
  neoloc->setFilter(QStringLiteral("Neorage|neorage.exe|All files (*.*)|*.*"));
  label("ShadowLabel1", QStringLiteral("Roms"), fieldLabel(1, 43));
  romloc = folderEdit("romloc", field(1), QStringLiteral("ROMs = Games = Fun"));
  label("ShadowLabel11", QStringLiteral("CD Roms"), fieldLabel(2, 68));
  cdromloc = folderEdit("cdromloc", field(2), QStringLiteral("MORE ROMs = Games = Fun"));
  label("ShadowLabel4", QStringLiteral("Snaps "), fieldLabel(3, 51));
  Snapsloc = folderEdit("Snapsloc", field(3), QStringLiteral("Where are all your loverly pix"));
  label("ShadowLabel12", QStringLiteral("Game list"), fieldLabel(4, 80));
  datloc = pathEdit(new TFilenameEdit(this), "datloc", field(4),
                    QStringLiteral("Where the games' titles come from"));
  datloc->setFilter(QStringLiteral("Game lists|*.dat;*.xml|All files (*.*)|*.*"));
  // What goes where, for a newcomer; an empty field still saves as empty.
  neoloc->setPlaceholderText(QStringLiteral("the emulator program"));
  romloc->setPlaceholderText(QStringLiteral("the folder of ROM zips"));
  cdromloc->setPlaceholderText(QStringLiteral("the CD-ROM folder (optional)"));
  Snapsloc->setPlaceholderText(QStringLiteral("the snapshots folder"));
  datloc->setPlaceholderText(QStringLiteral("the first list in the ROM folder"));

  scanlines = group("scanlines", QStringLiteral("Scanlines"), {24, 126, 103, 63},
                    {QStringLiteral("Yes"), QStringLiteral("No"), QStringLiteral("25%"),
                     QStringLiteral("50%"), QStringLiteral("100%")},
                    QStringLiteral("Do we need all these ?"));
  scanlines->setColumns(2);
  vsync = group("vsync", QStringLiteral("Enable Vsync"), {128, 126, 89, 63}, kYesNo,
                QStringLiteral("What ?"));
  Joystick = group("Joystick", QStringLiteral("Joystick"), {220, 126, 103, 63}, kYesNo,
                   QStringLiteral("Play with a stick"));
  vga = group("vga", QStringLiteral("VGA "), {24, 192, 102, 63}, kYesNo,
              QStringLiteral("Got a crap video card"));
  noanal = group("noanal", QStringLiteral("No analys"), {129, 192, 89, 63}, kYesNo,
                 QStringLiteral("Again what ?"));
  modex = group("modex", QStringLiteral("ModeX"), {220, 192, 103, 63}, kYesNo,
                QStringLiteral("Use 320x240"));

  label("ShadowLabel5", QStringLiteral("Frame Skip"), {33, 264, 82, 16});
  pathsHint = new TShadowLabel(this);
  pathsHint->setObjectName(QStringLiteral("pathsHint"));
  pathsHint->setAutoSize(false);
  pathsHint->setGeometry(118, 264, 214, 16);
  pathsHint->setAlignment(taRightJustify);
  pathsHint->setFont(uiFont(11, true));
  pathsHint->setFontColor(clYellow);
  pathsHint->setShadowColor(clBlack);
  pathsHint->setShadowSize(1);
  pathsHint->setTransparent(true);
  pathsHint->setCaption(QStringLiteral("First choose the paths at the top."));
  frameskip = new TValueSlider(this);
  frameskip->setObjectName(QStringLiteral("frameskip"));
  frameskip->setToolTip(QStringLiteral("For slow PCs"));
  // Starting values, set as one batch so their order does not matter.
  frameskip->beginReading();
  frameskip->setGeometry(35, 280, 273, 33);
  frameskip->setBevelStyle(TValueSlider::bvLowered);
  frameskip->setColor(clTeal);
  frameskip->setMaxValue(4);
  frameskip->setIncrement(1);
  frameskip->setOptions(TValueSlider::soShowFocus | TValueSlider::soShowPoints);
  // The skin's own one-state thumb (13 x 21) and ruler (16 x 8).
  frameskip->setNumThumbStates(1);
  frameskip->setImage(TValueSlider::HThumb, skins::image(QStringLiteral("thumb")));
  frameskip->setImage(TValueSlider::HRuler, skins::image(QStringLiteral("ruler")));
  frameskip->endReading();
  const int markLefts[] = {43, 105, 167, 229, 289};
  for (int i = 0; i < 5; ++i)
    label(QStringLiteral("ShadowLabel%1").arg(6 + i).toLatin1().constData(), QString::number(i),
          {markLefts[i], 316, 11, 16});

  label("ShadowLabel2", QStringLiteral("Additional Commands"), {35, 334, 154, 16});
  addcmds = edit("addcmds", {34, 352, 274, 21},
                 QStringLiteral("For when new versions come out with additional commands,\n"
                                "and I can't be bother to update this Front End."));

  // Frame numbers are clamped against the count in force: states first.
  exitsetup = new TPicBtn(this);
  exitsetup->setObjectName(QStringLiteral("exitsetup"));
  exitsetup->maskedPicture()->setMaskColor(clWhite);
  exitsetup->maskedPicture()->setPicture(skins::image(QStringLiteral("exitsetup")));
  exitsetup->setMasked(true);
  exitsetup->setBtnState(1);
  exitsetup->setNextState(0);
  exitsetup->setNumStates(3);
  exitsetup->setsActive(1);
  exitsetup->setsInActive(2);
  exitsetup->setsDown(2);
  exitsetup->setsDisabled(3);
  exitsetup->setDrawFocus(false);
  exitsetup->setMonitoring(false);
  exitsetup->setFocusColor(clBlack);
  exitsetup->setFirstWait(250);
  exitsetup->setRepeate(55);
  exitsetup->setToolTip(QStringLiteral("Back"));
  exitsetup->move(325, 349);
  exitsetup->OnClick = [this](QObject *s) { ExitsetupClick(s); };

  neoloc->OnChange = [this](QObject *s) { neolocChange(s); };
  romloc->OnChange = [this](QObject *s) { romlocChange(s); };
  Snapsloc->OnChange = [this](QObject *s) { romlocChange(s); };
  cdromloc->OnChange = [this](QObject *s) { cdromlocChange(s); };
  datloc->OnChange = [this](QObject *s) { datlocChange(s); };

  QWidget *order[] = {romloc,    neoloc,   vsync, Joystick,  vga,       noanal,   addcmds,
                      exitsetup, Snapsloc, modex, frameskip, scanlines, cdromloc, datloc};
  for (size_t i = 1; i < std::size(order); ++i)
    setTabOrder(order[i - 1], order[i]);
  updatePathsHint();
}

void TFrmsetup::updatePathsHint() {
  pathsHint->setVisible(neoloc->text().isEmpty() || romloc->text().isEmpty());
}

template <typename Step> void TFrmsetup::guarded(Step step) {
  // The restore at start-up ignores what its handlers raise.
  if (quietErrors_)
    runQuietly(step);
  else
    runGuarded(step);
}

void TFrmsetup::restoreQuietly() {
  quietErrors_ = true;
  runQuietly([this] { FormStorage1->LoadWindowSettings(); });
  quietErrors_ = false;
}

void TFrmsetup::Background1MouseDown(QObject *sender, Qt::MouseButton, Qt::KeyboardModifiers, int x,
                                     int y) {
  drag_.press(qobject_cast<QWidget *>(sender), x, y);
}

void TFrmsetup::Background1MouseMove(QObject *sender, Qt::KeyboardModifiers, int x, int y) {
  if (auto *control = qobject_cast<QWidget *>(sender))
    drag_.move(control, x, y);
}

void TFrmsetup::Background1MouseUp(QObject *, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
  drag_.release();
}

EmulatorSwitches TFrmsetup::switches() const {
  EmulatorSwitches s;
  s.scanlines = scanlines->itemIndex();
  s.vsync = vsync->itemIndex();
  s.joystick = Joystick->itemIndex();
  s.vga = vga->itemIndex();
  s.modex = modex->itemIndex();
  s.noanal = noanal->itemIndex();
  s.frameskip = frameskip->value();
  s.addcmds = addcmds->text();
  return s;
}

QString TFrmsetup::emulatorPath() const {
  return platform::unquotedPath(neoloc->text());
}

QString TFrmsetup::romFolder() const {
  return platform::unquotedPath(romloc->text());
}

QString TFrmsetup::cdromFolder() const {
  return platform::unquotedPath(cdromloc->text());
}

QString TFrmsetup::snapsFolder() const {
  return platform::unquotedPath(Snapsloc->text());
}

QString TFrmsetup::gameListFile() const {
  return platform::unquotedPath(datloc->text());
}

void TFrmsetup::neolocChange(QObject *) {
  updatePathsHint();
  const QString path = emulatorPath();
  if (!platform::fileExists(path))
    return;
  neodir_ = emulatorFolderOf(path);
  guarded([this] {
    if (host_)
      host_->applyShotsFolder(neodir_ + QStringLiteral("shots"));
  });
}

void TFrmsetup::romlocChange(QObject *) {
  updatePathsHint();
  const QString folder = romFolder();
  if (!platform::folderExists(folder) || !host_)
    return;
  guarded([&] {
    host_->applyRomFolder(folder);
    host_->poplist();
  });
}

void TFrmsetup::cdromlocChange(QObject *) {
  const QString folder = cdromFolder();
  if (!platform::folderExists(folder) || !host_)
    return;
  guarded([&] {
    host_->applyCdRomFolder(folder);
    host_->poplist();
  });
}

void TFrmsetup::datlocChange(QObject *) {
  // A name typed part way names no file yet: nothing is read, and nothing
  // is reported, until it does (or until the window closes).
  const QString file = gameListFile();
  if (!host_ || (!file.isEmpty() && !platform::fileExists(file)))
    return;
  guarded([this] { host_->poplist(); });
}

void TFrmsetup::ExitsetupClick(QObject *) {
  close();
}

void TFrmsetup::keyPressEvent(QKeyEvent *event) {
  if (event->key() == Qt::Key_Escape) {
    close();
    return;
  }
  TForm::keyPressEvent(event);
}

} // namespace vantor
