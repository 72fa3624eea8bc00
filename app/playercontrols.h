#pragma once

#include "gamepad/padinput.h"
#include "launcher/padrouter.h"

#include <QString>

#include <memory>

namespace vantor {

class TfrmMain;

// The player's controls beyond mouse and usual keys: the key bindings and the
// pads and joysticks of the settings file, given to the main window. When SDL
// cannot start, one line on standard error says so and the program goes on
// without pads.
class PlayerControls final {
public:
  PlayerControls(TfrmMain &main, const QString &settingsFile);

  PadInput &pads() { return *pads_; }

private:
  PadRouter router_;
  std::unique_ptr<PadInput> pads_;
};

} // namespace vantor
