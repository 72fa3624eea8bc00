#include "launcher/padrouter.h"

#include "controls/picbtn.h"
#include "launcher/mainwindow.h"
#include "launcher/messbox.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>

namespace vantor {
namespace {

// More than the program ever shows over its main window at once.
constexpr int kMostWindowsOver = 8;

void sendKey(QWidget &window, Qt::Key key) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QCoreApplication::sendEvent(&window, &press);
}

} // namespace

MainKey mainCommandOf(PadCommand command) {
  switch (command) {
  case PadCommand::Previous:
    return MainKey::Back;
  case PadCommand::Next:
    return MainKey::Forward;
  case PadCommand::TenBack:
    return MainKey::PageBack;
  case PadCommand::TenOn:
    return MainKey::PageForward;
  case PadCommand::Accept:
    return MainKey::Play;
  case PadCommand::UseDelete:
    return MainKey::UseDel;
  case PadCommand::SkinToggle:
    return MainKey::Skin;
  case PadCommand::Setup:
    return MainKey::Setup;
  case PadCommand::About:
    return MainKey::About;
  case PadCommand::Cancel:
  case PadCommand::Quit:
    break;
  }
  return MainKey::None;
}

bool PadRouter::ignoring() {
  if (main_.playing())
    return true;
  if (main_.gamesPlayed() == gamesSeen_)
    return false;
  gamesSeen_ = main_.gamesPlayed();
  return true;
}

void PadRouter::route(PadCommand command) {
  if (ignoring())
    return;
  if (command == PadCommand::Quit) {
    quit();
    return;
  }
  if (QWidget *modal = QApplication::activeModalWidget(); modal && modal != &main_) {
    answer(*modal, command);
    return;
  }
  if (!main_.isVisible())
    return;
  if (const MainKey action = mainCommandOf(command); action != MainKey::None)
    main_.perform(action);
}

// The windows shown over the main one close first (a box answers no), so
// that their loops have ended when the main window closes and the program
// with it.
void PadRouter::quit() {
  for (int i = 0; i < kMostWindowsOver; ++i) {
    QWidget *modal = QApplication::activeModalWidget();
    if (!modal || modal == &main_ || !modal->close())
      break;
  }
  QMetaObject::invokeMethod(
      &main_, [main = &main_] { main->close(); }, Qt::QueuedConnection);
}

// In a box A is the default answer (yes) and B is no; the other windows
// shown over the main one close with B, as with Escape.
void PadRouter::answer(QWidget &window, PadCommand command) {
  if (auto *box = qobject_cast<Tmessbox *>(&window)) {
    if (command == PadCommand::Accept)
      box->butyesCommand(box->butyes);
    else if (command == PadCommand::Cancel)
      box->butnoCommand(box->butno);
    return;
  }
  if (command == PadCommand::Accept && qobject_cast<QMessageBox *>(&window))
    sendKey(window, Qt::Key_Return);
  else if (command == PadCommand::Cancel)
    sendKey(window, Qt::Key_Escape);
}

} // namespace vantor
