#pragma once

#include <QString>

namespace vantor {

// The setup's switches for the emulator's command line, as one value.
struct EmulatorSwitches {
  int scanlines = 1; // 0 Yes, 1 No, 2 25%, 3 50%, 4 100%
  int vsync = 1;     // Yes/No fields: 0 = on
  int joystick = 1;
  int vga = 1;
  int modex = 1;
  int noanal = 1;
  int frameskip = 0;
  QString addcmds; // typed by the user, split as a command line
};

} // namespace vantor
