#pragma once

namespace vantor {

// What a pad or joystick asks of the program. The window that has the pads
// decides what each one does there: Accept plays on the main window and
// answers yes in a box.
enum class PadCommand {
  Previous,
  Next,
  TenBack,
  TenOn,
  Accept,
  Cancel,
  UseDelete,
  SkinToggle,
  Setup,
  About,
  // Only from a combination of buttons held together, on a cabinet.
  Quit,
};

// Movements go on while held; the other commands act once per press.
constexpr bool repeatsWhileHeld(PadCommand command) {
  return command == PadCommand::Previous || command == PadCommand::Next ||
         command == PadCommand::TenBack || command == PadCommand::TenOn;
}

} // namespace vantor
