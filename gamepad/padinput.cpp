#include "gamepad/padinput.h"

#include "platform/clock.h"
#include "platform/files.h"
#include "platform/handlerguard.h"

#include <SDL.h>

#include <QFile>

namespace vantor {

// An open device: a pad with a mapping, or a plain joystick.
struct PadInput::Device {
  struct ControllerClose {
    void operator()(SDL_GameController *c) const { SDL_GameControllerClose(c); }
  };
  struct JoystickClose {
    void operator()(SDL_Joystick *j) const { SDL_JoystickClose(j); }
  };
  std::unique_ptr<SDL_GameController, ControllerClose> controller;
  std::unique_ptr<SDL_Joystick, JoystickClose> joystick;
};

namespace {

void loadMappings(const QString &file) {
  if (file.isEmpty() || !QFile::exists(file))
    return;
  // A bad file only costs its own mappings.
  SDL_GameControllerAddMappingsFromFile(QFile::encodeName(file).constData());
}

} // namespace

PadInput::PadInput(const PadSettings &settings, const QString &mappingFile, QObject *parent)
    : QObject(parent), translator_(settings, [this](PadCommand command) {
        // Queued: the handler may open a modal window whose loop reads pads.
        QMetaObject::invokeMethod(
            this, [this, command] { deliver(command); }, Qt::QueuedConnection);
      }) {
  // The emulator takes the pads while Vantor's window is in the background.
  SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
  // Ctrl+C and the session's end must still end the program.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER | SDL_INIT_JOYSTICK) != 0) {
    error_ = QString::fromUtf8(SDL_GetError());
    return;
  }
  started_ = true;
  loadMappings(mappingFile);
  // SDL read it at start already; read again so it wins over the folder's.
  loadMappings(QFile::decodeName(qgetenv(SDL_HINT_GAMECONTROLLERCONFIG_FILE)));
  timer_.setTimerType(Qt::PreciseTimer);
  connect(&timer_, &QTimer::timeout, this, [this] { runGuarded([this] { pump(); }); });
  schedule();
  timer_.start();
}

PadInput::~PadInput() {
  if (!started_)
    return;
  devices_.clear();
  SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER | SDL_INIT_JOYSTICK);
}

void PadInput::schedule() {
  timer_.setInterval(devices_.empty() ? kPlugInterval : kPumpInterval);
}

void PadInput::pump() {
  if (!started_)
    return;
  SDL_PumpEvents();
  const bool ignoring = ignoring_ && ignoring_();
  SDL_Event event;
  // One at a time, so a nested read (from a handler's modal loop) finds the
  // rest where this one left them.
  while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_JOYAXISMOTION, SDL_CONTROLLERSENSORUPDATE) ==
         1) {
    const bool plug = event.type == SDL_JOYDEVICEADDED || event.type == SDL_JOYDEVICEREMOVED;
    if (plug || !ignoring)
      handle(event);
  }
  // Nothing else is asked for; the queue must not fill with it.
  SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
  if (ignoring || wasIgnoring_)
    translator_.reset();
  else
    translator_.tick(platform::tickCount());
  wasIgnoring_ = ignoring;
}

void PadInput::handle(const SDL_Event &event) {
  const std::uint32_t now = platform::tickCount();
  switch (event.type) {
  case SDL_JOYDEVICEADDED:
    open(event.jdevice.which);
    return;
  case SDL_JOYDEVICEREMOVED:
    close(event.jdevice.which);
    return;
  case SDL_CONTROLLERBUTTONDOWN:
  case SDL_CONTROLLERBUTTONUP:
    translator_.controllerButton(event.cbutton.which, event.cbutton.button,
                                 event.type == SDL_CONTROLLERBUTTONDOWN, now);
    return;
  case SDL_CONTROLLERAXISMOTION:
    translator_.controllerAxis(event.caxis.which, event.caxis.axis, event.caxis.value, now);
    return;
  default:
    break;
  }
  // A pad with a mapping also reports as a plain joystick; only its mapped
  // half counts.
  const auto device = devices_.find(event.jbutton.which);
  if (device == devices_.end() || device->second->controller)
    return;
  switch (event.type) {
  case SDL_JOYBUTTONDOWN:
  case SDL_JOYBUTTONUP:
    translator_.joystickButton(event.jbutton.which, event.jbutton.button,
                               event.type == SDL_JOYBUTTONDOWN, now);
    break;
  case SDL_JOYAXISMOTION:
    translator_.joystickAxis(event.jaxis.which, event.jaxis.axis, event.jaxis.value, now);
    break;
  case SDL_JOYHATMOTION:
    translator_.joystickHat(event.jhat.which, event.jhat.hat, event.jhat.value, now);
    break;
  default:
    break;
  }
}

void PadInput::open(int deviceIndex) {
  auto device = std::make_unique<Device>();
  if (SDL_IsGameController(deviceIndex))
    device->controller.reset(SDL_GameControllerOpen(deviceIndex));
  if (!device->controller)
    device->joystick.reset(SDL_JoystickOpen(deviceIndex));
  SDL_Joystick *joystick = device->controller
                               ? SDL_GameControllerGetJoystick(device->controller.get())
                               : device->joystick.get();
  if (!joystick)
    return; // gone again already, or not ours to open
  const int instance = SDL_JoystickInstanceID(joystick);
  devices_[instance] = std::move(device);
  schedule();
}

void PadInput::close(int instance) {
  translator_.forget(instance);
  devices_.erase(instance);
  schedule();
}

void PadInput::deliver(PadCommand command) {
  // The game may have started between the read and now.
  if (sink_ && !(ignoring_ && ignoring_()))
    sink_(command);
}

} // namespace vantor
