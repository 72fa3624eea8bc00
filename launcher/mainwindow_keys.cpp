// The main window's keyboard: play, the about and setup windows, moving
// through the catalogue and type-ahead; and, while a game is being played,
// the input that must wait, with Escape stopping the unpacking.
#include "launcher/mainwindow.h"

#include "controls/image.h"
#include "controls/picbtn.h"
#include "controls/rotarydial.h"
#include "launcher/launch.h"
#include "platform/clock.h"
#include "platform/handlerguard.h"

#include <QKeyEvent>

namespace vantor {
namespace {

bool isUserInput(const QEvent &event) {
  switch (event.type()) {
  case QEvent::KeyPress:
  case QEvent::KeyRelease:
  case QEvent::ShortcutOverride:
  case QEvent::MouseButtonPress:
  case QEvent::MouseButtonRelease:
  case QEvent::MouseButtonDblClick:
  case QEvent::MouseMove:
  case QEvent::Wheel:
  case QEvent::ContextMenu:
  case QEvent::TouchBegin:
  case QEvent::TouchUpdate:
  case QEvent::TouchEnd:
  case QEvent::TabletPress:
  case QEvent::TabletMove:
  case QEvent::TabletRelease:
    return true;
  default:
    return false;
  }
}

} // namespace

// Every control of the window is watched, not the whole application: boxes
// and other windows keep their own input whatever this window is doing.
void TfrmMain::watchInput() {
  installEventFilter(this);
  for (QWidget *child : findChildren<QWidget *>())
    child->installEventFilter(this);
}

bool TfrmMain::eventFilter(QObject *watched, QEvent *event) {
  if (playing() && isUserInput(*event))
    return inputWhilePlaying(watched, *event);
  if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
    return false;
  auto *receiver = static_cast<QWidget *>(watched);
  if (receiver->window() != this)
    return false;
  return takeKey(receiver, static_cast<const QKeyEvent &>(*event));
}

// Input meant for the game's controls is dropped while it plays, not kept
// for later; the exit (which waits for the game) and dragging the window by
// its skin still work. True when the event goes no further.
bool TfrmMain::inputWhilePlaying(QObject *watched, const QEvent &event) {
  if (event.type() == QEvent::KeyPress &&
      static_cast<const QKeyEvent &>(event).key() == Qt::Key_Escape) {
    launch_->cancel();
    return true;
  }
  const bool key = event.type() == QEvent::KeyPress || event.type() == QEvent::KeyRelease ||
                   event.type() == QEvent::ShortcutOverride;
  return key || (watched != exitall && watched != back);
}

// True when the key was the window's: it goes no further.
bool TfrmMain::takeKey(QWidget *receiver, const QKeyEvent &key) {
  const MainKey action = mainKeyOf(key.key(), key.modifiers(), key.text(), key.isAutoRepeat());
  // A text field keeps what it can type; the function keys stay the window's.
  if (receiver->testAttribute(Qt::WA_InputMethodEnabled) && action != MainKey::About &&
      action != MainKey::Setup)
    return false;
  if (action == MainKey::None)
    return false;
  if (action != MainKey::Type && action != MainKey::Nothing)
    navigator_.forgetTyping();
  runGuarded([&] {
    switch (action) {
    case MainKey::None:
    case MainKey::Nothing:
      break;
    case MainKey::Play:
      playClick(play);
      break;
    case MainKey::About:
      aboutClick(about);
      break;
    case MainKey::Setup:
      SetupClick(setup);
      break;
    case MainKey::Type:
      jumpTo(navigator_.typed(key.text(), platform::tickCount()));
      break;
    default:
      jumpTo(navigator_.moved(action, RotaryDial1->position()));
      break;
    }
  });
  return true;
}

// Through the dial, as turning it would: its change event selects the entry
// and shows the ROM name and snapshot.
void TfrmMain::jumpTo(int index) {
  if (index < 0 || index >= listroms.count())
    return;
  RotaryDial1->setPosition(index);
}

} // namespace vantor
