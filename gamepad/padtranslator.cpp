#include "gamepad/padtranslator.h"

#include <SDL.h>

#include <algorithm>

namespace vantor {
namespace {

constexpr int kSourcesPerKind = 256;
constexpr int kKinds = 8;

std::optional<PadCommand> controllerCommand(int button) {
  switch (button) {
  case SDL_CONTROLLER_BUTTON_DPAD_LEFT:
    return PadCommand::Previous;
  case SDL_CONTROLLER_BUTTON_DPAD_RIGHT:
    return PadCommand::Next;
  case SDL_CONTROLLER_BUTTON_DPAD_UP:
  case SDL_CONTROLLER_BUTTON_LEFTSHOULDER:
    return PadCommand::TenBack;
  case SDL_CONTROLLER_BUTTON_DPAD_DOWN:
  case SDL_CONTROLLER_BUTTON_RIGHTSHOULDER:
    return PadCommand::TenOn;
  case SDL_CONTROLLER_BUTTON_A:
  case SDL_CONTROLLER_BUTTON_START:
    return PadCommand::Accept;
  case SDL_CONTROLLER_BUTTON_B:
    return PadCommand::Cancel;
  case SDL_CONTROLLER_BUTTON_X:
    return PadCommand::UseDelete;
  case SDL_CONTROLLER_BUTTON_Y:
    return PadCommand::SkinToggle;
  case SDL_CONTROLLER_BUTTON_BACK:
    return PadCommand::Setup;
  case SDL_CONTROLLER_BUTTON_GUIDE:
    return PadCommand::About;
  default:
    return std::nullopt;
  }
}

int directionOf(int value) {
  if (value <= -PadTranslator::kAxisThreshold)
    return -1;
  if (value >= PadTranslator::kAxisThreshold)
    return 1;
  return 0;
}

} // namespace

PadTranslator::PadTranslator(const PadSettings &settings, Sink sink)
    : settings_(settings), sink_(std::move(sink)),
      repeat_(settings.repeatDelay, settings.repeatInterval) {}

int PadTranslator::sourceOf(int device, Kind kind, int index) {
  return (device * kKinds + int(kind)) * kSourcesPerKind + (index & (kSourcesPerKind - 1));
}

void PadTranslator::pressed(int source, PadCommand command, std::uint32_t now) {
  if (repeatsWhileHeld(command))
    repeat_.press(source, command, now);
  sink_(command);
}

void PadTranslator::direction(int source, int dir, PadCommand negative, PadCommand positive,
                              std::uint32_t now) {
  if (directions_.value(source, 0) == dir)
    return;
  directions_.insert(source, dir);
  repeat_.release(source);
  if (dir != 0)
    pressed(source, dir < 0 ? negative : positive, now);
}

bool PadTranslator::quitCombination(int device, Kind kind, int button, bool down,
                                    const std::vector<int> &combination) {
  const int source = sourceOf(device, kind, button);
  if (!down) {
    heldButtons_.remove(source);
    return false;
  }
  heldButtons_.insert(source);
  if (!settings_.cabinet || combination.empty() ||
      std::find(combination.begin(), combination.end(), button) == combination.end())
    return false;
  for (const int part : combination)
    if (!heldButtons_.contains(sourceOf(device, kind, part)))
      return false;
  sink_(PadCommand::Quit);
  return true;
}

void PadTranslator::controllerButton(int device, int button, bool down, std::uint32_t now) {
  const int source = sourceOf(device, Kind::ControllerButton, button);
  if (quitCombination(device, Kind::ControllerButton, button, down, settings_.quitButtons))
    return;
  if (!down) {
    repeat_.release(source);
    return;
  }
  if (const std::optional<PadCommand> command = controllerCommand(button))
    pressed(source, *command, now);
}

void PadTranslator::controllerAxis(int device, int axis, int value, std::uint32_t now) {
  const int source = sourceOf(device, Kind::ControllerAxis, axis);
  if (axis == SDL_CONTROLLER_AXIS_LEFTX)
    direction(source, directionOf(value), PadCommand::Previous, PadCommand::Next, now);
  else if (axis == SDL_CONTROLLER_AXIS_LEFTY)
    direction(source, directionOf(value), PadCommand::TenBack, PadCommand::TenOn, now);
}

void PadTranslator::joystickButton(int device, int button, bool down, std::uint32_t now) {
  const int source = sourceOf(device, Kind::JoystickButton, button);
  if (quitCombination(device, Kind::JoystickButton, button, down, settings_.joystickQuitButtons))
    return;
  if (!down) {
    repeat_.release(source);
    return;
  }
  if (const std::optional<PadCommand> command = settings_.joystickCommand(button))
    pressed(source, *command, now);
}

void PadTranslator::joystickAxis(int device, int axis, int value, std::uint32_t now) {
  const int source = sourceOf(device, Kind::JoystickAxis, axis);
  if (axis == 0)
    direction(source, directionOf(value), PadCommand::Previous, PadCommand::Next, now);
  else if (axis == 1)
    direction(source, directionOf(value), PadCommand::TenBack, PadCommand::TenOn, now);
}

void PadTranslator::joystickHat(int device, int hat, int value, std::uint32_t now) {
  if (hat != 0)
    return;
  const int x = (value & SDL_HAT_LEFT) ? -1 : (value & SDL_HAT_RIGHT) ? 1 : 0;
  const int y = (value & SDL_HAT_UP) ? -1 : (value & SDL_HAT_DOWN) ? 1 : 0;
  direction(sourceOf(device, Kind::HatX, hat), x, PadCommand::Previous, PadCommand::Next, now);
  direction(sourceOf(device, Kind::HatY, hat), y, PadCommand::TenBack, PadCommand::TenOn, now);
}

void PadTranslator::tick(std::uint32_t now) {
  if (const std::optional<PadCommand> command = repeat_.due(now))
    sink_(*command);
}

void PadTranslator::forget(int device) {
  for (int kind = 0; kind < kKinds; ++kind)
    for (int index = 0; index < kSourcesPerKind; ++index) {
      const int source = sourceOf(device, Kind(kind), index);
      repeat_.release(source);
      directions_.remove(source);
      heldButtons_.remove(source);
    }
}

void PadTranslator::reset() {
  repeat_.releaseAll();
  directions_.clear();
  heldButtons_.clear();
}

} // namespace vantor
