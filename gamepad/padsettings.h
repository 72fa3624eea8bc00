#pragma once

#include "gamepad/padcommand.h"

#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace vantor {

namespace platform {
class ProfileFile;
}

// How pads and joysticks behave, from the "pads" section of the settings
// file. A joystick without a mapping (an arcade encoder) has no names for its
// buttons, so the buttons that give commands are set here by number.
struct PadSettings {
  static constexpr int kCommandCount = int(PadCommand::About) + 1;
  // Before the first repeat of a held movement and between repeats; ms.
  std::uint32_t repeatDelay = 500;
  std::uint32_t repeatInterval = 33;
  // The joystick button number that gives each command; -1 gives it none.
  std::array<int, kCommandCount> joystickButtons{};

  // Full screen on a cabinet; there the buttons of `quitButtons` (a pad's,
  // by SDL's button numbers) or of `joystickQuitButtons` (an encoder's), held
  // together, end the program. Empty: no combination.
  bool cabinet = false;
  std::vector<int> quitButtons;
  std::vector<int> joystickQuitButtons;

  PadSettings();
  // The command a joystick button gives, if any.
  std::optional<PadCommand> joystickCommand(int button) const;

  // Reads the section; a missing or unreadable key keeps its default. The
  // repeat follows the keyboard's rate unless the file says otherwise. A
  // combination that names a button SDL does not know is no combination.
  static PadSettings read(const platform::ProfileFile &file, int keyboardRate);
};

// The key of each command in the "pads" section, as in "JoystickPlay=0".
QString joystickKeyOf(PadCommand command);

} // namespace vantor
