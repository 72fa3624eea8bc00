// Keys on the main window, sent to the control that would have the focus:
// each move goes through the dial, so the ROM name follows.
#include "controls/edit.h"
#include "controls/picbtn.h"
#include "controls/rotarydial.h"
#include "controls/shadowlabel.h"
#include "launcher/mainwindow.h"
#include "linkedwindows.h"
#include "platform/clock.h"
#include "support/modalanswer.h"

#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

#include <vector>

using namespace vantor;

namespace {

const char *const kGames[] = {"aof",     "bangbead", "blazstar", "galaga",   "garou",
                              "kof98",   "lastblad", "mslug",    "mslug2",   "pacman",
                              "pulstar", "samsho",   "sengoku",  "twinspri", "wakuwak7"};

enum class Target { Dial, Button, Window };

struct Stroke {
  int key;
  const char *text; // typed; "" for a key that types nothing
  std::uint32_t tick;
};

struct KeysCase {
  const char *name;
  Target target;
  std::vector<Stroke> strokes;
  const char *expected; // the ROM name selected at the end
};

void PrintTo(const KeysCase &c, std::ostream *os) {
  *os << c.name;
}

class MainKeys : public test::LinkedWindows, public ::testing::WithParamInterface<KeysCase> {
protected:
  void SetUp() override {
    for (const char *game : kGames)
      dir.write(QString("roms/%1.zip").arg(game));
    setup.Snapsloc->setTextValue(dir.file("snaps"));
    setup.romloc->setTextValue(dir.file("roms"));
    platform::setTickSource([this] { return now; });
  }
  void TearDown() override { platform::setTickSource({}); }

  QWidget *target(Target t) {
    switch (t) {
    case Target::Dial:
      return main.RotaryDial1;
    case Target::Button:
      return main.exitall;
    case Target::Window:
      break;
    }
    return &main;
  }

  void press(QWidget *to, const Stroke &s) {
    now = s.tick;
    QKeyEvent event(QEvent::KeyPress, s.key, Qt::NoModifier, QString::fromLatin1(s.text));
    QApplication::sendEvent(to, &event);
  }

  std::uint32_t now = 0;
};

TEST_P(MainKeys, SelectThroughTheDial) {
  const KeysCase &c = GetParam();
  ASSERT_EQ(main.listroms.count(), int(std::size(kGames)));
  for (const Stroke &s : c.strokes)
    press(target(c.target), s);
  EXPECT_EQ(main.romname->caption(), c.expected);
  EXPECT_EQ(main.romName(), c.expected);
  EXPECT_EQ(main.RotaryDial1->position(), main.listroms.selectedIndex());
}

INSTANTIATE_TEST_SUITE_P(
    Table, MainKeys,
    ::testing::Values(
        KeysCase{"endOnAButton", Target::Button, {{Qt::Key_End, "", 0}}, "wakuwak7"},
        KeysCase{
            "homeAfterEnd", Target::Window, {{Qt::Key_End, "", 0}, {Qt::Key_Home, "", 0}}, "aof"},
        KeysCase{"rightOnTheDial", Target::Dial, {{Qt::Key_Right, "", 0}}, "bangbead"},
        KeysCase{"typing",
                 Target::Button,
                 {{Qt::Key_G, "g", 0}, {Qt::Key_A, "a", 300}, {Qt::Key_R, "r", 600}},
                 "garou"},
        // "pu" would be pulstar; "u" alone is nothing.
        KeysCase{"aMoveEndsTheTyping",
                 Target::Button,
                 {{Qt::Key_P, "p", 0}, {Qt::Key_Home, "", 10}, {Qt::Key_U, "u", 20}},
                 "aof"}),
    [](const auto &info) { return std::string(info.param.name); });

using MainWindowKeys = MainKeys;

// The about and setup windows are modal: the key returns once they close.
TEST_F(MainWindowKeys, F1OpensTheAboutWindowAndF2TheSetupWindow) {
  TForm about;
  main.setAboutWindow(&about);
  bool aboutShown = false, setupShown = false;
  {
    const test::ModalAnswer answer(&about, [&](QWidget *) {
      aboutShown = about.isVisible();
      about.hide();
    });
    QTest::keyClick(main.play, Qt::Key_F1);
  }
  EXPECT_TRUE(aboutShown);
  {
    const test::ModalAnswer answer(&setup, [&](QWidget *) {
      setupShown = setup.isVisible();
      setup.hide();
    });
    QTest::keyClick(main.RotaryDial1, Qt::Key_F2);
  }
  EXPECT_TRUE(setupShown);
}

// A text field keeps the keys that type or move its cursor; one it leaves,
// and F1, are still the window's.
TEST_F(MainWindowKeys, ATextFieldKeepsItsKeys) {
  auto *field = new QLineEdit(&main);
  QTest::keyClicks(field, "ga");
  QTest::keyClick(field, Qt::Key_Home);
  QTest::keyClick(field, Qt::Key_Right);
  QTest::keyClick(field, Qt::Key_Right);
  EXPECT_EQ(field->text(), "ga");
  EXPECT_EQ(field->cursorPosition(), 2);
  EXPECT_EQ(main.romName(), "aof");
  QTest::keyClick(field, Qt::Key_PageDown);
  EXPECT_EQ(main.romName(), "pulstar");
  TForm about;
  main.setAboutWindow(&about);
  bool aboutShown = false;
  const test::ModalAnswer answer(&about, [&](QWidget *) {
    aboutShown = about.isVisible();
    about.hide();
  });
  QTest::keyClick(field, Qt::Key_F1);
  EXPECT_TRUE(aboutShown);
}

// Keys for another window are that window's.
TEST_F(MainWindowKeys, KeysOfOtherWindowsAreLeftAlone) {
  QTest::keyClick(setup.romloc, Qt::Key_End);
  QTest::keyClick(&setup, Qt::Key_PageDown);
  EXPECT_EQ(main.romName(), "aof");
}

} // namespace
