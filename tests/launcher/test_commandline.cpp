#include "launcher/commandline.h"

#include <gtest/gtest.h>

using vantor::emulatorArguments;
using vantor::EmulatorSwitches;

namespace {

const QString kEmulator = "/opt/neo/neorage";
const QString kScratch = "/opt/neo/~del~~";

struct Row {
  const char *what;
  void (*change)(EmulatorSwitches &);
  QStringList switches; // what follows the program and the scratch folder
};

void PrintTo(const Row &row, std::ostream *os) {
  *os << row.what;
}

class Arguments : public ::testing::TestWithParam<Row> {};

TEST_P(Arguments, FollowTheSwitchesInOrder) {
  EmulatorSwitches s;
  GetParam().change(s);
  EXPECT_EQ(emulatorArguments(kEmulator, kScratch, s),
            QStringList({kEmulator, kScratch}) + GetParam().switches);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Arguments,
    ::testing::Values(
        Row{"all off", [](EmulatorSwitches &) {}, {}},
        Row{"scanlines yes", [](EmulatorSwitches &s) { s.scanlines = 0; }, {"-s"}},
        Row{"scanlines 25", [](EmulatorSwitches &s) { s.scanlines = 2; }, {"-s25"}},
        Row{"scanlines 50", [](EmulatorSwitches &s) { s.scanlines = 3; }, {"-s50"}},
        Row{"scanlines 100", [](EmulatorSwitches &s) { s.scanlines = 4; }, {"-s100"}},
        Row{"scanlines none selected", [](EmulatorSwitches &s) { s.scanlines = -1; }, {}},
        Row{"vsync", [](EmulatorSwitches &s) { s.vsync = 0; }, {"-v"}},
        Row{"joystick", [](EmulatorSwitches &s) { s.joystick = 0; }, {"-j"}},
        Row{"vga", [](EmulatorSwitches &s) { s.vga = 0; }, {"-vga"}},
        Row{"modex", [](EmulatorSwitches &s) { s.modex = 0; }, {"-modex"}},
        Row{"noanal", [](EmulatorSwitches &s) { s.noanal = 0; }, {"-noanalys"}},
        Row{"no choice selected adds nothing",
            [](EmulatorSwitches &s) { s.vsync = s.vga = -1; },
            {}},
        Row{"frameskip 4", [](EmulatorSwitches &s) { s.frameskip = 4; }, {"-f4"}},
        Row{"addcmds last, split at blanks",
            [](EmulatorSwitches &s) { s.addcmds = "-sound 1", s.frameskip = 1; },
            {"-f1", "-sound", "1"}},
        Row{"addcmds quoting",
            [](EmulatorSwitches &s) { s.addcmds = R"(-cfg "my file.cfg" a\"b)"; },
            {"-cfg", "my file.cfg", "a\"b"}},
        Row{"blank addcmds add nothing", [](EmulatorSwitches &s) { s.addcmds = "  "; }, {}},
        Row{"everything in order",
            [](EmulatorSwitches &s) {
              s.scanlines = 4;
              s.vsync = s.joystick = s.vga = s.modex = s.noanal = 0;
              s.frameskip = 9;
              s.addcmds = "-x";
            },
            {"-s100", "-v", "-j", "-vga", "-modex", "-noanalys", "-f9", "-x"}}),
    [](const auto &info) {
      std::string name;
      for (const char *p = info.param.what; *p; ++p)
        if (std::isalnum(static_cast<unsigned char>(*p)))
          name += *p;
      return name;
    });

// Quotes, blanks and tabs in the emulator's folder reach it untouched.
TEST(ArgumentsOfAwkwardPaths, StayOneArgumentEach) {
  for (const QString &folder : {QString("/games/neo \"deluxe\"/"), QString("/games/neo\tcd/"),
                                QString("/games/a b\\\" c/")}) {
    const QStringList args = emulatorArguments(folder + "neorage", folder + "~del~~", {});
    EXPECT_EQ(args, QStringList({folder + "neorage", folder + "~del~~"})) << folder.toStdString();
  }
}

} // namespace
