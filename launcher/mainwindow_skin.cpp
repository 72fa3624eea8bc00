// The main window as a skinned window: the skin toggle, dragging by the skin,
// and the buttons that open the setup or about window or end the program.
#include "launcher/mainwindow.h"

#include "controls/formshaper.h"
#include "controls/image.h"
#include "controls/maskedpicture.h"
#include "controls/picbtn.h"
#include "controls/rotarydial.h"
#include "launcher/snapshotpreview.h"
#include "settings/setupwindow.h"

namespace vantor {

void TfrmMain::bindSkinButtons() {
  exitall->OnCommand = [this](QObject *s) { exitallCommand(s); };
  exitall->OnClick = [this](QObject *s) { exitallClick(s); };
  setup->OnClick = [this](QObject *s) { SetupClick(s); };
  about->OnClick = [this](QObject *s) { aboutClick(s); };
  preview->OnCommand = [this](QObject *s) { previewCommand(s); };
  for (TImage *image : {back, backsmall, backbig}) {
    image->OnMouseDown = [this](QObject *s, Qt::MouseButton b, Qt::KeyboardModifiers m, int x,
                                int y) { backMouseDown(s, b, m, x, y); };
    image->OnMouseMove = [this](QObject *s, Qt::KeyboardModifiers m, int x, int y) {
      backMouseMove(s, m, x, y);
    };
    image->OnMouseUp = [this](QObject *s, Qt::MouseButton b, Qt::KeyboardModifiers m, int x,
                              int y) { backMouseUp(s, b, m, x, y); };
  }
}

bool TfrmMain::bigSkinShown() const {
  return preview_->bigSkinShown();
}

void TfrmMain::previewCommand(QObject *) {
  const TImage *skin = bigSkinShown() ? backsmall : backbig;
  if (skin == backsmall) {
    FormShaper1->setTag(0);
    snaps->setPicture(QImage());
  } else {
    FormShaper1->setTag(1);
  }
  // `back` is the shaper's linked image: it follows the mask picture.
  FormShaper1->maskedPicture()->setPicture(skin->picture());
  RotaryDial1Change(RotaryDial1);
}

void TfrmMain::exitallCommand(QObject *) {
  close();
}

// The close the press asked for is already on its way through the event
// loop; pumping it here would re-enter whatever handler is below us.
void TfrmMain::exitallClick(QObject *) {}

void TfrmMain::SetupClick(QObject *) {
  if (!setup_)
    return;
  const QPointer<TfrmMain> self(this);
  setup_->showModal();
  // The game list named in setup is read now even when it was left naming
  // no file, so that it is reported.
  if (self && setup_)
    loadGameList();
}

void TfrmMain::aboutClick(QObject *) {
  if (about_)
    about_->showModal();
}

void TfrmMain::backMouseDown(QObject *sender, Qt::MouseButton, Qt::KeyboardModifiers, int x,
                             int y) {
  if (movable_)
    drag_.press(qobject_cast<QWidget *>(sender), x, y);
}

void TfrmMain::backMouseMove(QObject *sender, Qt::KeyboardModifiers, int x, int y) {
  if (auto *control = qobject_cast<QWidget *>(sender))
    drag_.move(control, x, y);
}

void TfrmMain::backMouseUp(QObject *, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
  drag_.release();
}

} // namespace vantor
