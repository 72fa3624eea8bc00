#pragma once

#include <QString>

namespace vantor {

// The settings the emulator's command line is built from.
struct LaunchSwitches {
  QString emulator;    // neoloc
  QString emulatorDir; // neodir, ending with the separator
  int scanlines = 1;   // 0 Yes, 1 No, 2 25%, 3 50%, 4 100%
  int vsync = 1;       // Yes/No fields: 0 = on
  int joystick = 1;
  int vga = 1;
  int modex = 1;
  int noanal = 1;
  int frameskip = 0;
  QString addcmds;
};

// The scratch folder for an unpacked game: neodir + "~del~~".
QString scratchFolder(const QString &emulatorDir);

// The quoted program, two blanks, the scratch folder, the switches and the
// additional commands after one blank. A scratch path with blanks is quoted
// so that it reaches the emulator as one argument.
QString emulatorCommandLine(const LaunchSwitches &s);

} // namespace vantor
