#pragma once

#include "gamepad/heldrepeat.h"
#include "gamepad/padcommand.h"
#include "gamepad/padsettings.h"

#include <QHash>
#include <QSet>

#include <cstdint>
#include <functional>

namespace vantor {

// Turns what pads and joysticks report into commands. A pad with a mapping
// speaks in named buttons and axes; a joystick without one in numbers: its
// first axis pair or first hat moves, its buttons give what the settings say.
// `device` is the device's instance number, `now` a tick of platform's clock.
class PadTranslator final {
public:
  using Sink = std::function<void(PadCommand)>;

  // A stick this far off centre (of 32767) counts as pushed.
  static constexpr int kAxisThreshold = 16384;

  PadTranslator(const PadSettings &settings, Sink sink);

  void controllerButton(int device, int button, bool down, std::uint32_t now);
  void controllerAxis(int device, int axis, int value, std::uint32_t now);
  void joystickButton(int device, int button, bool down, std::uint32_t now);
  void joystickAxis(int device, int axis, int value, std::uint32_t now);
  void joystickHat(int device, int hat, int value, std::uint32_t now);

  // Gives the repeat of a held movement that is due.
  void tick(std::uint32_t now);
  // The device is gone: what it held is let go.
  void forget(int device);
  // Everything is let go; nothing is held any more.
  void reset();

private:
  enum class Kind { ControllerButton, ControllerAxis, JoystickButton, JoystickAxis, HatX, HatY };
  static int sourceOf(int device, Kind kind, int index);
  void pressed(int source, PadCommand command, std::uint32_t now);
  // A button going down or up; true when the press completes the quit
  // combination, which then stands for the press.
  bool quitCombination(int device, Kind kind, int button, bool down,
                       const std::vector<int> &combination);
  // One direction of a stick or hat: -1, 0 or +1 along its line.
  void direction(int source, int dir, PadCommand negative, PadCommand positive, std::uint32_t now);

  PadSettings settings_;
  Sink sink_;
  HeldRepeat repeat_;
  QHash<int, int> directions_; // the last direction of each stick and hat line
  QSet<int> heldButtons_;      // sources of the buttons held now
};

} // namespace vantor
