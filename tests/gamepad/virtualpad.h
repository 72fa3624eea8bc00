#pragma once

#include <SDL.h>

#include <stdexcept>

namespace vantor::test {

// A joystick SDL believes is plugged in; the values set reach the program
// through SDL's own reading, as a real device's would. Unplugged when it goes.
class VirtualPad final {
public:
  enum class Kind { Controller, Joystick };

  explicit VirtualPad(Kind kind) {
    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    if (kind == Kind::Controller) {
      desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
      desc.naxes = SDL_CONTROLLER_AXIS_MAX;
      desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
      desc.name = "Virtual pad";
    } else {
      // An arcade encoder: no names for anything, only numbers.
      desc.type = SDL_JOYSTICK_TYPE_UNKNOWN;
      desc.naxes = 2;
      desc.nbuttons = 12;
      desc.nhats = 1;
      desc.vendor_id = 0x0079; // no mapping knows these
      desc.product_id = 0x7777;
      desc.name = "Virtual encoder";
    }
    const int index = SDL_JoystickAttachVirtualEx(&desc);
    if (index < 0)
      throw std::runtime_error(SDL_GetError());
    joystick_ = SDL_JoystickOpen(index);
    if (!joystick_)
      throw std::runtime_error(SDL_GetError());
    instance_ = SDL_JoystickInstanceID(joystick_);
  }
  ~VirtualPad() { unplug(); }
  VirtualPad(const VirtualPad &) = delete;
  VirtualPad &operator=(const VirtualPad &) = delete;

  void button(int index, bool down) { SDL_JoystickSetVirtualButton(joystick_, index, down); }
  void axis(int index, int value) { SDL_JoystickSetVirtualAxis(joystick_, index, Sint16(value)); }
  void hat(int index, int value) { SDL_JoystickSetVirtualHat(joystick_, index, Uint8(value)); }

  void unplug() {
    if (!joystick_)
      return;
    SDL_JoystickClose(joystick_);
    joystick_ = nullptr;
    for (int i = 0; i < SDL_NumJoysticks(); ++i)
      if (SDL_JoystickGetDeviceInstanceID(i) == instance_)
        SDL_JoystickDetachVirtual(i);
  }

private:
  SDL_Joystick *joystick_ = nullptr;
  SDL_JoystickID instance_ = -1;
};

} // namespace vantor::test
