#pragma once

#include <QByteArray>
#include <QStringList>

namespace vantor {

// What decides the window system the program runs on.
struct PlatformSetting {
  QByteArray chosen;  // QT_QPA_PLATFORM
  QByteArray display; // DISPLAY
  QStringList arguments;
};

// The platform to ask Qt for, or empty for Qt's own choice. The skinned
// windows place and drag themselves, which a Wayland compositor refuses to a
// native client, so an X display (XWayland in a Wayland session) is preferred
// whenever one is there and the user chose nothing.
QByteArray preferredPlatform(const PlatformSetting &setting);

// Asks Qt for the preferred platform while the application object is being
// made; the variable is gone again afterwards, so programs started later
// (the emulator) see the user's own environment.
class PlatformPreference final {
public:
  explicit PlatformPreference(const QStringList &arguments);
  ~PlatformPreference();
  PlatformPreference(const PlatformPreference &) = delete;
  PlatformPreference &operator=(const PlatformPreference &) = delete;

  // Called once the application object exists.
  void release();

private:
  bool set_ = false;
};

} // namespace vantor
