#include "mainwindow.h"

#include "catalogue.h"
#include "controls/colors.h"
#include "controls/edit.h"
#include "controls/fonts.h"
#include "controls/rotarydial.h"
#include "controls/shadowlabel.h"
#include "filelistbox.h"
#include "platform/files.h"
#include "settings/formstorage.h"
#include "settings/setupwindow.h"

namespace vantor {
namespace {

constexpr QSize SmallSkinSize{316, 340};
constexpr QPoint DesignedPlace{141, 108};

} // namespace

TfrmMain::TfrmMain(QWidget *parent) : TForm(parent) {
  setObjectName(QStringLiteral("frmMain"));
  setWindowTitle(QStringLiteral("Vantor"));
  setFixedSize(SmallSkinSize);
  move(DesignedPlace);
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, QColor(0x20, 0x20, 0x30));
  setPalette(pal);

  FileListBox1 = new TFileListBox(this);
  FileListBox1->setObjectName(QStringLiteral("FileListBox1"));
  FileListBox1->setMask(QStringLiteral("*.zip"));
  FileListBox2 = new TFileListBox(this);
  FileListBox2->setObjectName(QStringLiteral("FileListBox2"));
  FileListBox2->setMask(QStringLiteral("*.zip"));
  shotdir = new TFileListBox(this);
  shotdir->setObjectName(QStringLiteral("shotdir"));
  shotdir->setMask(QStringLiteral("shot*.bmp"));

  FormShaper1 = new SkinChoice(this);
  FormShaper1->setObjectName(QStringLiteral("FormShaper1"));

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

  OnShow = [this](QObject *s) { FormShow(s); };
  // Last, so that it hooks the handlers above: the position and skin come
  // back before FormShow runs.
  FormStorage1 = addFormStorage(this, QStringLiteral("main"), TFormPlacement::fpPosition,
                                {QStringLiteral("FormShaper1.Tag")});
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

void TfrmMain::FormShow(QObject *) {
  if (!setup_)
    return;
  // The stored settings go into the hidden setup window; its path handlers
  // point the lists at the stored folders. A failure here is not shown.
  try {
    setup_->FormStorage1->LoadWindowSettings();
  } catch (const std::exception &) {
  }
  if (FormShaper1->tag() == 1) {
    // The big skin arrives with the shaped window; the selection is shown already.
    RotaryDial1Change(RotaryDial1);
  }
  if (platform::folderExists(setup_->romloc->text()))
    FileListBox1->applyPath(setup_->romloc->text());
  else
    setup_->showModal();
  if (platform::folderExists(setup_->cdromloc->text()))
    FileListBox2->applyPath(setup_->cdromloc->text());
  poplist();
}

void TfrmMain::poplist() {
  listroms.clear();
  if (!setup_)
    return;
  // The tests are on the texts only; an unset list still lists the start-up folder.
  const QString romText = setup_->romloc->text();
  const QString cdText = setup_->cdromloc->text();
  listroms.items =
      mergeCatalogue(romText, romText.isEmpty() ? QStringList() : FileListBox1->items(), cdText,
                     cdText.isEmpty() ? QStringList() : FileListBox2->items());
  if (listroms.items.isEmpty())
    return;
  RotaryDial1->setMax(static_cast<int>(listroms.items.size()) - 1);
  selectEntry(0);
}

void TfrmMain::RotaryDial1Change(QObject *) {
  if (listroms.items.isEmpty())
    return;
  selectEntry(RotaryDial1->position());
}

void TfrmMain::selectEntry(int index) {
  if (index < 0 || index >= listroms.items.size())
    return;
  listroms.itemIndex = index;
  romname->setCaption(romNameOf(listroms.items[index]));
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
  return romname->caption();
}

QString TfrmMain::snapshotBasePath() const {
  return setup_ ? setup_->Snapsloc->text() + platform::pathSeparator() + romName() : QString();
}

void TfrmMain::showSnapshot(const QString &, bool) {
  // The preview arrives with the snapshot support.
}

} // namespace vantor
