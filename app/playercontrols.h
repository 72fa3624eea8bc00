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
// without pads. The quit combination counts only on a cabinet, asked for by
// `cabinet` (the command line) or by the settings file.
class PlayerControls final {
public:
  PlayerControls(TfrmMain &main, const QString &settingsFile, bool cabinet = false);

  bool cabinet() const { return cabinet_; }

private:
  bool cabinet_ = false;
  PadRouter router_;
  std::unique_ptr<PadInput> pads_;
};

} // namespace vantor
