#pragma once

#include "gamepad/padcommand.h"
#include "gamepad/padsettings.h"
#include "gamepad/padtranslator.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <map>
#include <memory>

union SDL_Event;

namespace vantor {

// The pads and joysticks, read through SDL's joystick and game-controller
// parts (no SDL window). SDL has to be asked for news: while a device is
// open it is asked often enough for a press to act within a frame, with none
// only now and then, for a pad being plugged in.
class PadInput final : public QObject {
  Q_OBJECT

public:
  using CommandSink = std::function<void(PadCommand)>;

  // Asked this often while a device is open, and with none; ms.
  static constexpr int kPumpInterval = 8;
  static constexpr int kPlugInterval = 1000;

  // Starts SDL and loads the mappings of `mappingFile` (when it exists) and
  // of the file SDL_GAMECONTROLLERCONFIG_FILE names. When SDL cannot start,
  // the object stays idle and error() says why.
  PadInput(const PadSettings &settings, const QString &mappingFile, QObject *parent = nullptr);
  ~PadInput() override;
  PadInput(const PadInput &) = delete;
  PadInput &operator=(const PadInput &) = delete;

  bool started() const { return started_; }
  const QString &error() const { return error_; }

  // Where the commands go, each from the event loop, never from inside a
  // read, so a command that opens a modal window does not stall the pads.
  void setCommandSink(CommandSink sink) { sink_ = std::move(sink); }
  // While this says so, what the devices report is dropped, and a press
  // still held when it stops saying so does nothing.
  void setIgnoring(std::function<bool()> ignoring) { ignoring_ = std::move(ignoring); }

  int openDevices() const { return int(devices_.size()); }
  int pumpInterval() const { return timer_.interval(); }

  // Reads what SDL has now; the timer calls it, tests may too.
  void pump();
  // Stops the timer's reads, for a test that reads only by hand.
  void stopTimer() { timer_.stop(); }

private:
  struct Device;
  void handle(const SDL_Event &event);
  void open(int deviceIndex);
  void close(int instance);
  void deliver(PadCommand command);
  void schedule();

  PadTranslator translator_;
  CommandSink sink_;
  std::function<bool()> ignoring_;
  std::map<int, std::unique_ptr<Device>> devices_; // by SDL instance id
  QTimer timer_;
  QString error_;
  bool started_ = false;
  bool wasIgnoring_ = false;
};

} // namespace vantor
