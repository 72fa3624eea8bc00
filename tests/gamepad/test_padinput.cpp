// Pads and joysticks driven through SDL's virtual devices: what a press, a
// held stick or a hat gives, the repeat on the program's clock, plugging in
// and out, and the pads left alone while the program says so.
#include "gamepad/padinput.h"
#include "platform/clock.h"
#include "virtualpad.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <vector>

using namespace vantor;
using test::VirtualPad;

namespace {

using Commands = std::vector<PadCommand>;

class Pads : public ::testing::Test {
protected:
  void SetUp() override {
    platform::setTickSource([this] { return now; });
    settings.repeatDelay = 500;
    settings.repeatInterval = 40;
  }
  void TearDown() override { platform::setTickSource({}); }

  void start() {
    input = std::make_unique<PadInput>(settings, QString());
    ASSERT_TRUE(input->started()) << input->error().toStdString();
    input->setCommandSink([this](PadCommand c) { taken.push_back(c); });
    input->setIgnoring([this] { return ignoring; });
  }

  // One read, and the commands it gave delivered as the event loop would.
  Commands read() {
    taken.clear();
    input->pump();
    QCoreApplication::sendPostedEvents(input.get(), QEvent::MetaCall);
    return taken;
  }

  std::uint32_t now = 1000;
  bool ignoring = false;
  PadSettings settings;
  std::unique_ptr<PadInput> input;
  Commands taken;
};

struct ButtonCase {
  const char *name;
  VirtualPad::Kind kind;
  int button;
  Commands expected;
};

void PrintTo(const ButtonCase &c, std::ostream *os) {
  *os << c.name;
}

class PadButtons : public Pads, public ::testing::WithParamInterface<ButtonCase> {};

TEST_P(PadButtons, GiveTheirCommandOncePerPress) {
  start();
  VirtualPad pad(GetParam().kind);
  read(); // plugged in
  ASSERT_EQ(input->openDevices(), 1);
  pad.button(GetParam().button, true);
  EXPECT_EQ(read(), GetParam().expected);
  now += 2000; // held long: only movements repeat
  const Commands held = read();
  pad.button(GetParam().button, false);
  EXPECT_EQ(read(), Commands{});
  if (!GetParam().expected.empty() && repeatsWhileHeld(GetParam().expected.front()))
    EXPECT_EQ(held, GetParam().expected);
  else
    EXPECT_EQ(held, Commands{});
}

using K = VirtualPad::Kind;
using P = PadCommand;
INSTANTIATE_TEST_SUITE_P(
    Table, PadButtons,
    ::testing::Values(
        ButtonCase{"A", K::Controller, SDL_CONTROLLER_BUTTON_A, {P::Accept}},
        ButtonCase{"Start", K::Controller, SDL_CONTROLLER_BUTTON_START, {P::Accept}},
        ButtonCase{"B", K::Controller, SDL_CONTROLLER_BUTTON_B, {P::Cancel}},
        ButtonCase{"X", K::Controller, SDL_CONTROLLER_BUTTON_X, {P::UseDelete}},
        ButtonCase{"Y", K::Controller, SDL_CONTROLLER_BUTTON_Y, {P::SkinToggle}},
        ButtonCase{"Back", K::Controller, SDL_CONTROLLER_BUTTON_BACK, {P::Setup}},
        ButtonCase{"Guide", K::Controller, SDL_CONTROLLER_BUTTON_GUIDE, {P::About}},
        ButtonCase{"LeftShoulder", K::Controller, SDL_CONTROLLER_BUTTON_LEFTSHOULDER, {P::TenBack}},
        ButtonCase{"RightShoulder", K::Controller, SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, {P::TenOn}},
        ButtonCase{"DpadLeft", K::Controller, SDL_CONTROLLER_BUTTON_DPAD_LEFT, {P::Previous}},
        ButtonCase{"DpadRight", K::Controller, SDL_CONTROLLER_BUTTON_DPAD_RIGHT, {P::Next}},
        ButtonCase{"LeftStickClick", K::Controller, SDL_CONTROLLER_BUTTON_LEFTSTICK, {}},
        ButtonCase{"EncoderButton0", K::Joystick, 0, {P::Accept}},
        ButtonCase{"EncoderButton1", K::Joystick, 1, {P::Cancel}},
        ButtonCase{"EncoderButton2", K::Joystick, 2, {}}),
    [](const auto &info) { return std::string(info.param.name); });

struct DirectionCase {
  const char *name;
  VirtualPad::Kind kind;
  enum { Axis, Hat } control;
  int index;
  int pushed; // the axis value or hat bits
  int centre;
  PadCommand expected;
};

void PrintTo(const DirectionCase &c, std::ostream *os) {
  *os << c.name;
}

class PadDirections : public Pads, public ::testing::WithParamInterface<DirectionCase> {
protected:
  void set(VirtualPad &pad, int value) {
    if (GetParam().control == DirectionCase::Axis)
      pad.axis(GetParam().index, value);
    else
      pad.hat(GetParam().index, value);
  }
};

// Held: once at once, again after the delay, then at the rate; centred: no more.
TEST_P(PadDirections, RepeatAfterTheDelayAtTheRate) {
  start();
  VirtualPad pad(GetParam().kind);
  read();
  const Commands once{GetParam().expected};
  set(pad, GetParam().pushed);
  EXPECT_EQ(read(), once);
  now += 499;
  EXPECT_EQ(read(), Commands{}) << "before the delay";
  now += 1;
  EXPECT_EQ(read(), once) << "at the delay";
  now += 39;
  EXPECT_EQ(read(), Commands{});
  now += 1;
  EXPECT_EQ(read(), once) << "one interval on";
  now += 1000; // the program fell behind: one repeat, not a burst
  EXPECT_EQ(read(), once);
  EXPECT_EQ(read(), Commands{});
  set(pad, GetParam().centre);
  now += 1000;
  EXPECT_EQ(read(), Commands{}) << "let go";
}

INSTANTIATE_TEST_SUITE_P(
    Table, PadDirections,
    ::testing::Values(
        DirectionCase{"StickLeft", K::Controller, DirectionCase::Axis, SDL_CONTROLLER_AXIS_LEFTX,
                      -32768, 0, P::Previous},
        DirectionCase{"StickRight", K::Controller, DirectionCase::Axis, SDL_CONTROLLER_AXIS_LEFTX,
                      32767, 0, P::Next},
        DirectionCase{"StickUp", K::Controller, DirectionCase::Axis, SDL_CONTROLLER_AXIS_LEFTY,
                      -32768, 0, P::TenBack},
        DirectionCase{"EncoderAxisRight", K::Joystick, DirectionCase::Axis, 0, 32767, 0, P::Next},
        DirectionCase{"EncoderAxisDown", K::Joystick, DirectionCase::Axis, 1, 32767, 0, P::TenOn},
        DirectionCase{"EncoderHatLeft", K::Joystick, DirectionCase::Hat, 0, SDL_HAT_LEFT,
                      SDL_HAT_CENTERED, P::Previous},
        DirectionCase{"EncoderHatUp", K::Joystick, DirectionCase::Hat, 0, SDL_HAT_UP,
                      SDL_HAT_CENTERED, P::TenBack}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(Pads, AStickInsideTheDeadZoneDoesNothing) {
  start();
  VirtualPad pad(K::Controller);
  read();
  pad.axis(SDL_CONTROLLER_AXIS_LEFTX, PadTranslator::kAxisThreshold - 1);
  EXPECT_EQ(read(), Commands{});
  pad.axis(SDL_CONTROLLER_AXIS_LEFTX, -PadTranslator::kAxisThreshold);
  EXPECT_EQ(read(), Commands{P::Previous});
}

TEST_F(Pads, TheSettingsRenumberAnEncodersButtons) {
  settings.joystickButtons[size_t(P::Accept)] = 3;
  settings.joystickButtons[size_t(P::Setup)] = 0;
  start();
  VirtualPad pad(K::Joystick);
  read();
  pad.button(3, true);
  EXPECT_EQ(read(), Commands{P::Accept});
  pad.button(0, true);
  EXPECT_EQ(read(), Commands{P::Setup});
}

// Plugged in after the start it works; pulled while held it stops, and the
// reads slow down again.
TEST_F(Pads, PlugAndUnplug) {
  start();
  EXPECT_EQ(input->pumpInterval(), PadInput::kPlugInterval);
  auto pad = std::make_unique<VirtualPad>(K::Controller);
  read();
  EXPECT_EQ(input->openDevices(), 1);
  EXPECT_EQ(input->pumpInterval(), PadInput::kPumpInterval);
  pad->axis(SDL_CONTROLLER_AXIS_LEFTX, 32767);
  EXPECT_EQ(read(), Commands{P::Next});
  pad.reset();
  now += 2000;
  EXPECT_EQ(read(), Commands{}) << "no repeat from a pad that is gone";
  EXPECT_EQ(input->openDevices(), 0);
  EXPECT_EQ(input->pumpInterval(), PadInput::kPlugInterval);
  VirtualPad again(K::Joystick);
  read();
  again.button(0, true);
  EXPECT_EQ(read(), Commands{P::Accept});
}

// While ignored nothing acts; a press held across the end of it neither acts
// nor repeats; the next press does.
TEST_F(Pads, IgnoredWhileTheProgramSaysSo) {
  start();
  VirtualPad pad(K::Controller);
  read();
  ignoring = true;
  pad.button(SDL_CONTROLLER_BUTTON_A, true);
  pad.axis(SDL_CONTROLLER_AXIS_LEFTX, 32767);
  EXPECT_EQ(read(), Commands{});
  ignoring = false;
  now += 2000;
  EXPECT_EQ(read(), Commands{});
  now += 2000;
  EXPECT_EQ(read(), Commands{});
  pad.button(SDL_CONTROLLER_BUTTON_A, false);
  pad.axis(SDL_CONTROLLER_AXIS_LEFTX, 0);
  read();
  pad.button(SDL_CONTROLLER_BUTTON_A, true);
  EXPECT_EQ(read(), Commands{P::Accept});
}

// A command read before the program started ignoring is not delivered after.
TEST_F(Pads, ACommandQueuedBeforeIgnoringIsDropped) {
  start();
  VirtualPad pad(K::Controller);
  read();
  pad.button(SDL_CONTROLLER_BUTTON_A, true);
  taken.clear();
  input->pump();
  ignoring = true;
  QCoreApplication::sendPostedEvents(input.get(), QEvent::MetaCall);
  EXPECT_EQ(taken, Commands{});
}

struct QuitCase {
  const char *name;
  VirtualPad::Kind kind;
  bool cabinet;
  int first, second; // pressed in this order and held
  Commands afterFirst, afterSecond;
};

void PrintTo(const QuitCase &c, std::ostream *os) {
  *os << c.name;
}

class PadQuit : public Pads, public ::testing::WithParamInterface<QuitCase> {};

// On a cabinet the press that completes the combination quits instead of
// giving its own command; let go and pressed again, it quits again.
TEST_P(PadQuit, TheCombinationHeldTogetherQuitsOnACabinetOnly) {
  const QuitCase &c = GetParam();
  settings.cabinet = c.cabinet;
  settings.joystickQuitButtons = {6, 0};
  start();
  VirtualPad pad(c.kind);
  read();
  pad.button(c.first, true);
  EXPECT_EQ(read(), c.afterFirst);
  pad.button(c.second, true);
  EXPECT_EQ(read(), c.afterSecond);
  pad.button(c.second, false);
  EXPECT_EQ(read(), Commands{});
  pad.button(c.second, true);
  EXPECT_EQ(read(), c.afterSecond);
}

constexpr int kBack = SDL_CONTROLLER_BUTTON_BACK, kStart = SDL_CONTROLLER_BUTTON_START;
INSTANTIATE_TEST_SUITE_P(
    Table, PadQuit,
    ::testing::Values(
        QuitCase{"backThenStart", K::Controller, true, kBack, kStart, {P::Setup}, {P::Quit}},
        QuitCase{"startThenBack", K::Controller, true, kStart, kBack, {P::Accept}, {P::Quit}},
        QuitCase{"notOnTheDesktop", K::Controller, false, kBack, kStart, {P::Setup}, {P::Accept}},
        QuitCase{"notAnotherPair",
                 K::Controller,
                 true,
                 kBack,
                 SDL_CONTROLLER_BUTTON_A,
                 {P::Setup},
                 {P::Accept}},
        QuitCase{"encoderByNumber", K::Joystick, true, 6, 0, {}, {P::Quit}},
        QuitCase{"encoderOnTheDesktop", K::Joystick, false, 6, 0, {}, {P::Accept}}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
