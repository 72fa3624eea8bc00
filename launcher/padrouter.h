#pragma once

#include "gamepad/padcommand.h"
#include "launcher/cataloguenavigator.h"

class QWidget;

namespace vantor {

class TfrmMain;

// The main window's command for what a pad asks; None for what means
// nothing there (B).
MainKey mainCommandOf(PadCommand command);

// Hands what the pads ask to the window that has them: a box or window shown
// over the main window, or else the main window. While a game is unpacked or
// played the emulator owns the controls, and nothing is handed on.
class PadRouter final {
public:
  explicit PadRouter(TfrmMain &main) : main_(main) {}

  void route(PadCommand command);
  // True while a game is unpacked or played, and once more after each game,
  // so that what was pressed during it is dropped.
  bool ignoring();

private:
  void answer(QWidget &window, PadCommand command);
  void quit();

  TfrmMain &main_;
  int gamesSeen_ = 0;
};

} // namespace vantor
