#include "launcher/messbox.h"

#include "controls/colors.h"
#include "controls/fonts.h"
#include "controls/formshaper.h"
#include "controls/image.h"
#include "controls/maskedpicture.h"
#include "controls/picbtn.h"
#include "controls/shadowlabel.h"
#include "skins/skins.h"

#include <QApplication>
#include <QKeyEvent>
#include <QScreen>

namespace vantor {
namespace {

constexpr QSize kBoxSize{258, 174};

// The two answers: two 41-pixel frames, pressed and disabled alike.
TPicBtn *createAnswerButton(QWidget *parent, const char *name, QPoint place) {
  auto *button = new TPicBtn(parent);
  button->setObjectName(QLatin1String(name));
  button->maskedPicture()->setMaskColor(clWhite);
  button->maskedPicture()->setPicture(skins::image(QLatin1String(name)));
  button->setMasked(true);
  button->setBtnState(1);
  button->setNextState(0);
  button->setNumStates(2);
  button->setsActive(1);
  button->setsInActive(2);
  button->setsDisabled(2);
  button->setsDown(2);
  button->setDrawFocus(true);
  button->setFocusColor(clBlack);
  button->setFirstWait(250);
  button->setRepeate(55);
  button->move(place);
  return button;
}

} // namespace

QPoint centredOn(const QRect &screen, QSize size) {
  return {screen.left() + (screen.width() - size.width()) / 2,
          screen.top() + (screen.height() - size.height()) / 2};
}

BoxKey boxKeyOf(int key, Qt::KeyboardModifiers modifiers) {
  if (modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
    return BoxKey::None;
  switch (key) {
  case Qt::Key_Y:
    return BoxKey::Yes;
  case Qt::Key_N:
  case Qt::Key_Escape:
    return BoxKey::No;
  case Qt::Key_Tab:
  case Qt::Key_Backtab:
  case Qt::Key_Left:
  case Qt::Key_Right:
  case Qt::Key_Up:
  case Qt::Key_Down:
    return BoxKey::OtherButton;
  case Qt::Key_Space:
  case Qt::Key_Return:
  case Qt::Key_Enter:
    return BoxKey::Focused;
  default:
    return BoxKey::None;
  }
}

Tmessbox::Tmessbox(QWidget *parent) : TForm(parent) {
  setObjectName(QStringLiteral("messbox"));
  setWindowTitle(QStringLiteral("Vantor"));
  resize(kBoxSize);

  Image1 = new TImage(this);
  Image1->setObjectName(QStringLiteral("Image1"));
  Image1->setGeometry(QRect(QPoint(0, 0), kBoxSize));

  // The picture silently first, then the mask colour, which sizes the box
  // and builds its outline, then the rest.
  FormShaper1 = new TFormShaper(this);
  FormShaper1->setObjectName(QStringLiteral("FormShaper1"));
  FormShaper1->maskedPicture()->loadPicture(skins::image(QStringLiteral("messbox")));
  FormShaper1->maskedPicture()->setMaskColor(clWhite);
  FormShaper1->setShowCaption(false);
  FormShaper1->setActive(true);
  FormShaper1->setWindowMove(TFormShaper::NoMove);
  FormShaper1->setBackgrnd(Image1);

  messlab = new TShadowLabel(this);
  messlab->setObjectName(QStringLiteral("messlab"));
  messlab->setAutoSize(false);
  // Three lines of the interface face at 16 pixels need 57 rows; the
  // message panel of the box picture holds them.
  messlab->setGeometry(40, 51, 181, 57);
  messlab->setAlignment(taCenter);
  messlab->setWordWrap(true);
  messlab->setFont(uiFont(16, true));
  messlab->setFontColor(clYellow);
  messlab->setShadowSize(0);
  messlab->setTransparent(true);
  messlab->setCaption(QStringLiteral("Are you sure you wish to delete this snap ?"));

  butyes = createAnswerButton(this, "butyes", {32, 116});
  butno = createAnswerButton(this, "butno", {136, 116});
  butyes->OnCommand = [this](QObject *s) { butyesCommand(s); };
  butno->OnCommand = [this](QObject *s) { butnoCommand(s); };
  butyes->installEventFilter(this);
  butno->installEventFilter(this);
}

Tmessbox::~Tmessbox() {
  fireDestroy();
}

bool Tmessbox::ask() {
  if (isVisible())
    return false;
  showModal();
  return yes_;
}

void Tmessbox::butyesCommand(QObject *) {
  answer(true);
}

void Tmessbox::butnoCommand(QObject *) {
  answer(false);
}

// A press keeps repeating its command after the box has gone, so only the
// first answer of a showing counts.
void Tmessbox::answer(bool yes) {
  if (!awaiting_)
    return;
  awaiting_ = false;
  yes_ = yes;
  hide();
}

void Tmessbox::showEvent(QShowEvent *event) {
  if (!event->spontaneous()) {
    const QWidget *active = QApplication::activeWindow();
    const QScreen *on = active && active != this ? active->screen() : screen();
    move(centredOn(on->geometry(), size()));
    // A press held from the last showing may have left an answer disabled.
    butyes->setBtnState(1);
    butno->setBtnState(1);
    yes_ = false;
    awaiting_ = true;
    // Deleting cannot be undone: a stray Enter or Space answers no.
    butno->setFocus(Qt::OtherFocusReason);
  }
  TForm::showEvent(event);
}

void Tmessbox::hideEvent(QHideEvent *event) {
  if (!event->spontaneous())
    awaiting_ = false;
  TForm::hideEvent(event);
}

void Tmessbox::keyPressEvent(QKeyEvent *event) {
  if (takeKey(*event))
    return;
  TForm::keyPressEvent(event);
}

bool Tmessbox::eventFilter(QObject *watched, QEvent *event) {
  if (event->type() == QEvent::KeyPress && (watched == butyes || watched == butno))
    return takeKey(static_cast<const QKeyEvent &>(*event));
  return TForm::eventFilter(watched, event);
}

bool Tmessbox::takeKey(const QKeyEvent &key) {
  const bool yesFocused = focusWidget() == butyes;
  switch (boxKeyOf(key.key(), key.modifiers())) {
  case BoxKey::None:
    return false;
  case BoxKey::Yes:
    butyesCommand(butyes);
    break;
  case BoxKey::No:
    butnoCommand(butno);
    break;
  case BoxKey::OtherButton:
    (yesFocused ? butno : butyes)->setFocus(Qt::TabFocusReason);
    break;
  case BoxKey::Focused:
    if (yesFocused)
      butyesCommand(butyes);
    else
      butnoCommand(butno);
    break;
  }
  return true;
}

} // namespace vantor
