#include "launcher/commandline.h"

#include <gtest/gtest.h>

using vantor::emulatorCommandLine;
using vantor::LaunchSwitches;

namespace {

LaunchSwitches base() {
  LaunchSwitches s;
  s.emulator = "/opt/neo/neorage";
  s.emulatorDir = "/opt/neo/";
  return s;
}

struct Row {
  const char *what;
  void (*change)(LaunchSwitches &);
  const char *line;
};

const Row rows[] = {
    {"all off", [](LaunchSwitches &) {}, "\"/opt/neo/neorage\"  /opt/neo/~del~~ "},
    {"scanlines yes", [](LaunchSwitches &s) { s.scanlines = 0; },
     "\"/opt/neo/neorage\"  /opt/neo/~del~~ -s "},
    {"scanlines 25", [](LaunchSwitches &s) { s.scanlines = 2; },
     "\"/opt/neo/neorage\"  /opt/neo/~del~~ -s25 "},
    {"scanlines 50", [](LaunchSwitches &s) { s.scanlines = 3; },
     "\"/opt/neo/neorage\"  /opt/neo/~del~~ -s50 "},
    {"scanlines 100", [](LaunchSwitches &s) { s.scanlines = 4; },
     "\"/opt/neo/neorage\"  /opt/neo/~del~~ -s100 "},
    {"scanlines none selected", [](LaunchSwitches &s) { s.scanlines = -1; },
     "\"/opt/neo/neorage\"  /opt/neo/~del~~ "},
    {"vsync", [](LaunchSwitches &s) { s.vsync = 0; }, "\"/opt/neo/neorage\"  /opt/neo/~del~~ -v "},
    {"joystick", [](LaunchSwitches &s) { s.joystick = 0; },
     "\"/opt/neo/neorage\"  /opt/neo/~del~~ -j "},
    {"vga", [](LaunchSwitches &s) { s.vga = 0; }, "\"/opt/neo/neorage\"  /opt/neo/~del~~ -vga "},
    {"modex", [](LaunchSwitches &s) { s.modex = 0; },
     "\"/opt/neo/neorage\"  /opt/neo/~del~~ -modex "},
    {"noanal", [](LaunchSwitches &s) { s.noanal = 0; },
     "\"/opt/neo/neorage\"  /opt/neo/~del~~ -noanalys "},
    {"no choice selected adds nothing", [](LaunchSwitches &s) { s.vsync = s.vga = -1; },
     "\"/opt/neo/neorage\"  /opt/neo/~del~~ "},
    {"frameskip 4", [](LaunchSwitches &s) { s.frameskip = 4; },
     "\"/opt/neo/neorage\"  /opt/neo/~del~~ -f4 "},
    {"addcmds last", [](LaunchSwitches &s) { s.addcmds = "-sound 1", s.frameskip = 1; },
     "\"/opt/neo/neorage\"  /opt/neo/~del~~ -f1 -sound 1"},
    {"everything in order",
     [](LaunchSwitches &s) {
       s.scanlines = 2, s.vsync = 0, s.joystick = 0, s.vga = 0, s.modex = 0, s.noanal = 0;
       s.frameskip = 2;
     },
     "\"/opt/neo/neorage\"  /opt/neo/~del~~ -s25 -v -j -vga -modex -noanalys -f2 "},
    {"blanks in the folder",
     [](LaunchSwitches &s) { s.emulator = "/my games/neorage", s.emulatorDir = "/my games/"; },
     "\"/my games/neorage\"  \"/my games/~del~~\" "},
};

TEST(CommandLine, BuiltInTheDesignedOrder) {
  for (const Row &row : rows) {
    LaunchSwitches s = base();
    row.change(s);
    EXPECT_EQ(emulatorCommandLine(s), QString(row.line)) << row.what;
  }
}

} // namespace
