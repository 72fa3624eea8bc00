// Pads driving the program's windows through SDL's virtual devices: the
// main window's commands, the answers of the boxes, play with a stand-in
// emulator, and the pads left alone while the game runs.
#include "archive/zipextractor.h"
#include "controls/edit.h"
#include "controls/formshaper.h"
#include "controls/image.h"
#include "controls/maskedpicture.h"
#include "controls/picbtn.h"
#include "controls/rotarydial.h"
#include "gamepad/padinput.h"
#include "gamepad/virtualpad.h"
#include "launcher/keybindings.h"
#include "launcher/mainwindow.h"
#include "launcher/messbox.h"
#include "launcher/padrouter.h"
#include "linkedwindows.h"
#include "platform/clock.h"
#include "platform/profile.h"
#include "platform/usermessage.h"
#include "settings/setupwindow.h"
#include "support/wait.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QMessageBox>
#include <QProcess>
#include <QTimer>
#include <gtest/gtest.h>

using namespace vantor;
using test::VirtualPad;

namespace {

const char *const kGames[] = {"1941",  "aof",      "bangbead", "blazstar", "galaga", "garou",
                              "kof98", "lastblad", "mslug",    "mslug2",   "pacman", "pulstar"};

// Records what it was given to run (each game's zip holds <game>.rom).
const char *const kEmulator = "#!/bin/sh\nls \"$1\" > ran.txt\n";

class PadRouting : public test::LinkedWindows {
protected:
  void SetUp() override {
    platform::setTickSource([this] { return now; });
    presenter = std::make_unique<ScopedMessagePresenter>(
        [this](const UserMessage &message) { messages << message.text; });
    dir.mkdir("roms");
    for (const char *game : kGames)
      makeZip(dir.file(QString("roms/%1.zip").arg(game)), game);
    neo = dir.mkdir("neo") + "/";
    dir.mkdir("neo/shots");
    QFile emulator(neo + "neorage");
    ASSERT_TRUE(emulator.open(QIODevice::WriteOnly));
    emulator.write(kEmulator);
    emulator.close();
    emulator.setPermissions(emulator.permissions() | QFile::ExeOwner);
    main.ZipExtractor1->setDLLDirectory(qEnvironmentVariable("VANTOR_BIN_DIR"));
    setup.neoloc->setTextValue(neo + "neorage");
    setup.Snapsloc->setTextValue(dir.mkdir("snaps"));
    setup.romloc->setTextValue(dir.file("roms"));
    main.setConfirmBox(&box);

    pads = std::make_unique<PadInput>(PadSettings(), QString());
    ASSERT_TRUE(pads->started()) << pads->error().toStdString();
    // Read only by hand: the modal loops and the launch's repaints must not.
    pads->stopTimer();
    pads->setCommandSink([this](PadCommand c) { router.route(c); });
    pads->setIgnoring([this] { return router.ignoring(); });
    main.show();
  }
  void TearDown() override {
    EXPECT_EQ(messages.join("\n").toStdString(), "");
    presenter.reset();
    pads.reset();
    platform::setTickSource({});
  }

  void makeZip(const QString &path, const QString &game) {
    test::TempDir stage;
    stage.write(game + ".rom", "rom");
    QProcess zip;
    zip.setWorkingDirectory(stage.path());
    zip.start("zip", {"-q", path, game + ".rom"});
    ASSERT_TRUE(zip.waitForFinished());
    ASSERT_EQ(zip.exitCode(), 0);
  }

  // One read of the pads, its commands handed on as the event loop would.
  void read() {
    pads->pump();
    QCoreApplication::sendPostedEvents(pads.get(), QEvent::MetaCall);
  }
  void click(VirtualPad &pad, int button) {
    pad.button(button, true);
    read();
    pad.button(button, false);
    read();
  }
  QString ranOn() const {
    QFile f(neo + "ran.txt");
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()).trimmed() : QString();
  }

  std::uint32_t now = 0;
  QStringList messages;
  std::unique_ptr<ScopedMessagePresenter> presenter;
  QString neo;
  Tmessbox box;
  PadRouter router{main};
  std::unique_ptr<PadInput> pads;
};

struct MoveCase {
  const char *name;
  VirtualPad::Kind kind;
  int button;
  const char *expected;
};

void PrintTo(const MoveCase &c, std::ostream *os) {
  *os << c.name;
}

class PadMoves : public PadRouting, public ::testing::WithParamInterface<MoveCase> {};

TEST_P(PadMoves, SelectThroughTheDial) {
  VirtualPad pad(GetParam().kind);
  read();
  ASSERT_EQ(main.romName(), "1941");
  click(pad, GetParam().button);
  EXPECT_EQ(main.romName(), GetParam().expected);
  EXPECT_EQ(main.RotaryDial1->position(), main.listroms.selectedIndex());
}

INSTANTIATE_TEST_SUITE_P(
    Table, PadMoves,
    ::testing::Values(MoveCase{"next", VirtualPad::Kind::Controller,
                               SDL_CONTROLLER_BUTTON_DPAD_RIGHT, "aof"},
                      MoveCase{"tenOn", VirtualPad::Kind::Controller,
                               SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, "pacman"},
                      MoveCase{"previousAtTheStart", VirtualPad::Kind::Controller,
                               SDL_CONTROLLER_BUTTON_DPAD_LEFT, "1941"},
                      MoveCase{"bDoesNothingHere", VirtualPad::Kind::Controller,
                               SDL_CONTROLLER_BUTTON_B, "1941"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(PadRouting, AnEncodersHatMovesAndYTogglesTheSkin) {
  VirtualPad encoder(VirtualPad::Kind::Joystick);
  VirtualPad pad(VirtualPad::Kind::Controller);
  read();
  encoder.hat(0, SDL_HAT_RIGHT);
  read();
  encoder.hat(0, SDL_HAT_CENTERED);
  read();
  EXPECT_EQ(main.romName(), "aof");
  const bool big = main.bigSkinShown();
  click(pad, SDL_CONTROLLER_BUTTON_Y);
  EXPECT_NE(main.bigSkinShown(), big);
}

// A plays. A press during the game acts neither then nor after it, also
// when nothing read the pads while the game ran.
TEST_F(PadRouting, APlaysAndPadsAreIgnoredWhileTheGameRuns) {
  VirtualPad pad(VirtualPad::Kind::Controller);
  read();
  click(pad, SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
  pad.button(SDL_CONTROLLER_BUTTON_A, true);
  read();
  EXPECT_TRUE(main.playing());
  // Pressed while the game is on its way: the pads are the emulator's.
  pad.button(SDL_CONTROLLER_BUTTON_A, false);
  pad.button(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, true);
  read();
  ASSERT_TRUE(test::turnEventLoopUntil([this] { return !main.playing(); }));
  EXPECT_EQ(ranOn(), "aof.rom");
  read();
  now += 5000;
  read();
  EXPECT_EQ(main.romName(), "aof") << "a press made during the game acted";
  pad.button(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, false);
  read();
  click(pad, SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
  EXPECT_EQ(main.romName(), "bangbead") << "the pads were not taken back";
}

// A key bound to play plays; it does not jump to the game whose name it starts.
TEST_F(PadRouting, ADigitBoundToPlayPlaysInsteadOfTypingAhead) {
  test::TempDir settings;
  settings.write("keys.INI", "[keys]\nPlay=1\n");
  main.setKeyBindings(KeyBindings::read(platform::ProfileFile(settings.file("keys.INI"))));
  main.RotaryDial1->setPosition(2);
  QKeyEvent one(QEvent::KeyPress, Qt::Key_1, Qt::NoModifier, "1");
  QApplication::sendEvent(main.play, &one);
  ASSERT_TRUE(test::turnEventLoopUntil([this] { return !main.playing(); }));
  EXPECT_EQ(main.romName(), "bangbead");
  EXPECT_EQ(ranOn(), "bangbead.rom");
}

// On a cabinet Back opens the setup window and Start, with Back still held,
// quits: the window over the main one closes first, then the main window.
TEST_F(PadRouting, BackAndStartHeldTogetherCloseEveryWindowOnACabinet) {
  PadSettings cabinet;
  cabinet.cabinet = true;
  pads = std::make_unique<PadInput>(cabinet, QString());
  pads->stopTimer();
  pads->setCommandSink([this](PadCommand c) { router.route(c); });
  VirtualPad pad(VirtualPad::Kind::Controller);
  read();
  bool setupShown = false;
  QTimer::singleShot(0, [&] {
    setupShown = setup.isVisible();
    pad.button(SDL_CONTROLLER_BUTTON_START, true);
    read();
    if (setup.isVisible()) {
      ADD_FAILURE() << "the setup window is still up";
      setup.hide();
    }
  });
  pad.button(SDL_CONTROLLER_BUTTON_BACK, true);
  read();
  EXPECT_TRUE(setupShown);
  ASSERT_TRUE(test::turnEventLoopUntil([this] { return !main.isVisible(); }))
      << "the main window did not close";
}

struct BoxCase {
  const char *name;
  int button;
  bool yes;
};

void PrintTo(const BoxCase &c, std::ostream *os) {
  *os << c.name;
}

class PadBoxes : public PadRouting, public ::testing::WithParamInterface<BoxCase> {};

TEST_P(PadBoxes, TheConfirmationBoxTakesAAsYesAndBAsNo) {
  VirtualPad pad(VirtualPad::Kind::Controller);
  read();
  bool shown = false;
  QTimer::singleShot(0, [&] {
    shown = box.isVisible();
    click(pad, GetParam().button);
    if (box.isVisible()) { // not answered: close it so the test ends
      ADD_FAILURE() << "the box is still up";
      box.butnoCommand(nullptr);
    }
  });
  EXPECT_EQ(box.ask(), GetParam().yes);
  EXPECT_TRUE(shown);
}

TEST_P(PadBoxes, AMessageBoxTakesAAsItsDefaultAndBAsEscape) {
  VirtualPad pad(VirtualPad::Kind::Controller);
  read();
  QMessageBox question(QMessageBox::Question, "Vantor", "Sure?", QMessageBox::Yes | QMessageBox::No,
                       &main);
  question.setDefaultButton(QMessageBox::Yes);
  question.setEscapeButton(QMessageBox::No);
  QTimer::singleShot(0, [&] {
    click(pad, GetParam().button);
    if (question.isVisible()) {
      ADD_FAILURE() << "the box is still up";
      question.reject();
    }
  });
  EXPECT_EQ(question.exec(), GetParam().yes ? QMessageBox::Yes : QMessageBox::No);
}

INSTANTIATE_TEST_SUITE_P(Table, PadBoxes,
                         ::testing::Values(BoxCase{"a", SDL_CONTROLLER_BUTTON_A, true},
                                           BoxCase{"start", SDL_CONTROLLER_BUTTON_START, true},
                                           BoxCase{"b", SDL_CONTROLLER_BUTTON_B, false}),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
