// The main window's keyboard: play, the about and setup windows, moving
// through the catalogue and type-ahead; and the lock on input while a game
// is being launched, when Escape stops the unpacking.
#include "launcher/mainwindow.h"

#include "controls/picbtn.h"
#include "controls/rotarydial.h"
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
  case QEvent::Close: // from the window manager, not from the program
    return event.spontaneous();
  default:
    return false;
  }
}

} // namespace

bool TfrmMain::eventFilter(QObject *watched, QEvent *event) {
  if (launching_ && isUserInput(*event))
    return lockedInput(*event);
  if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
    return false;
  auto *receiver = static_cast<QWidget *>(watched);
  if (receiver->window() != this)
    return false;
  return takeKey(receiver, static_cast<const QKeyEvent &>(*event));
}

// Input that arrives while a game is being launched is dropped, so a click
// or key meant for then does not act afterwards.
bool TfrmMain::lockedInput(const QEvent &event) {
  if (event.type() == QEvent::KeyPress &&
      static_cast<const QKeyEvent &>(event).key() == Qt::Key_Escape)
    cancelUnpack_ = true;
  return true;
}

// True when the key was the window's: it goes no further.
bool TfrmMain::takeKey(QWidget *receiver, const QKeyEvent &key) {
  const MainKey action = keys_.actionOf(key.key(), key.modifiers(), key.text(), key.isAutoRepeat());
  // A text field keeps what it can type; the function keys stay the window's.
  if (receiver->testAttribute(Qt::WA_InputMethodEnabled) && action != MainKey::About &&
      action != MainKey::Setup)
    return false;
  if (action == MainKey::None)
    return false;
  if (action == MainKey::Type)
    runGuarded([&] { jumpTo(navigator_.typed(key.text(), platform::tickCount())); });
  else
    perform(action);
  return true;
}

void TfrmMain::perform(MainKey action) {
  if (action != MainKey::Nothing)
    navigator_.forgetTyping();
  runGuarded([&] {
    switch (action) {
    case MainKey::None:
    case MainKey::Nothing:
    case MainKey::Type:
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
    case MainKey::UseDelete:
      // The button is only there with the big skin.
      if (bigSkinShown())
        usedelCommand(usedel);
      break;
    case MainKey::SkinToggle:
      previewCommand(preview);
      break;
    default:
      jumpTo(navigator_.moved(action, RotaryDial1->position()));
      break;
    }
  });
}

// Through the dial, as turning it would: its change event selects the entry
// and shows the ROM name and snapshot.
void TfrmMain::jumpTo(int index) {
  if (index < 0 || index >= listroms.count())
    return;
  RotaryDial1->setPosition(index);
}

} // namespace vantor
