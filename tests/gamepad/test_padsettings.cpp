// The "pads" section of the settings file: encoder button numbers and the
// repeat, with what a missing or unusable value leaves.
#include "gamepad/padsettings.h"
#include "platform/profile.h"
#include "support/tempdir.h"

#include <SDL.h>
#include <gtest/gtest.h>

using namespace vantor;

namespace {

struct SettingsCase {
  const char *name;
  const char *section; // lines of [pads]
  int button;          // an encoder button
  std::optional<PadCommand> expected;
  std::uint32_t delay, interval;
};

void PrintTo(const SettingsCase &c, std::ostream *os) {
  *os << c.name;
}

// The settings a file with these lines in its [pads] section gives.
PadSettings padsSection(const char *lines) {
  test::TempDir dir;
  dir.write("vantor.INI", QByteArray("[pads]\n") + lines);
  return PadSettings::read(platform::ProfileFile(dir.file("vantor.INI")), 30);
}

class PadsSection : public ::testing::TestWithParam<SettingsCase> {};

TEST_P(PadsSection, GivesTheButtonsAndTheRepeat) {
  const SettingsCase &c = GetParam();
  const PadSettings settings = padsSection(c.section);
  EXPECT_EQ(settings.joystickCommand(c.button), c.expected);
  EXPECT_EQ(settings.repeatDelay, c.delay);
  EXPECT_EQ(settings.repeatInterval, c.interval);
}

using P = PadCommand;
INSTANTIATE_TEST_SUITE_P(
    Table, PadsSection,
    ::testing::Values(
        SettingsCase{"usualPlay", "", 0, P::Accept, 500, 33},
        SettingsCase{"usualB", "", 1, P::Cancel, 500, 33},
        SettingsCase{"usualNothingElse", "", 2, std::nullopt, 500, 33},
        SettingsCase{"renumbered", "JoystickPlay=2\n", 2, P::Accept, 500, 33},
        SettingsCase{"renumberedLeavesTheOldNumber", "JoystickPlay=2\n", 0, std::nullopt, 500, 33},
        SettingsCase{"minusOneTakesItOff", "JoystickCancel=-1\n", 1, std::nullopt, 500, 33},
        SettingsCase{"notANumberKeepsTheUsual", "JoystickPlay=start\n", 0, P::Accept, 500, 33},
        SettingsCase{"anotherCommand", "JoystickSetup=8\n", 8, P::Setup, 500, 33},
        SettingsCase{"repeat", "RepeatDelay=250\nRepeatRate=20\n", 0, P::Accept, 250, 50},
        SettingsCase{"repeatOutOfRangeIsIgnored", "RepeatDelay=99999\nRepeatRate=0\n", 0, P::Accept,
                     500, 33}),
    [](const auto &info) { return std::string(info.param.name); });

struct CabinetCase {
  const char *name;
  const char *section;
  bool cabinet;
  std::vector<int> quit, joystickQuit;
};

void PrintTo(const CabinetCase &c, std::ostream *os) {
  *os << c.name;
}

class CabinetKeys : public ::testing::TestWithParam<CabinetCase> {};

TEST_P(CabinetKeys, GiveTheModeAndTheQuitCombinations) {
  const CabinetCase &c = GetParam();
  const PadSettings settings = padsSection(c.section);
  EXPECT_EQ(settings.cabinet, c.cabinet);
  EXPECT_EQ(settings.quitButtons, c.quit);
  EXPECT_EQ(settings.joystickQuitButtons, c.joystickQuit);
}

const std::vector<int> kBackStart{SDL_CONTROLLER_BUTTON_BACK, SDL_CONTROLLER_BUTTON_START};
INSTANTIATE_TEST_SUITE_P(
    Table, CabinetKeys,
    ::testing::Values(CabinetCase{"usual", "", false, kBackStart, {}},
                      CabinetCase{"on", "Cabinet=1\n", true, kBackStart, {}},
                      CabinetCase{"off", "Cabinet=0\n", false, kBackStart, {}},
                      CabinetCase{
                          "names",
                          "Quit=LeftShoulder+rightshoulder\n",
                          false,
                          {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, SDL_CONTROLLER_BUTTON_RIGHTSHOULDER},
                          {}},
                      CabinetCase{"unknownNameIsNone", "Quit=Back+Select\n", false, {}, {}},
                      CabinetCase{"emptyIsNone", "Quit=\n", false, {}, {}},
                      CabinetCase{"numbers", "JoystickQuit=6 7\n", false, kBackStart, {6, 7}},
                      CabinetCase{"notANumberIsNone", "JoystickQuit=6+x\n", false, kBackStart, {}}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
