#include "picbtn_fixture.h"

#include "controls/image.h"
#include "controls/windowdrag.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QWindow>
#include <stdexcept>
#include <string>
#include <vector>

using namespace vantor;
using vantor::test::PicBtnFixture;
using vantor::test::rowCodedStrip;

namespace {

// The row of the picture that a painted button shows at its top.
int shownRow(TPicBtn *button) {
  return qRed(button->grab().toImage().pixel(0, 0));
}

void sendMouse(QWidget *w, QEvent::Type type, QPoint at) {
  const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
  QMouseEvent event(type, at, w->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
  QApplication::sendEvent(w, &event);
}

} // namespace

struct LayoutCase {
  int pictureHeight;
  int numStates;
  int btnState;
  int expectedHeight;
  int expectedTopRow;
};

class PicBtnLayout : public PicBtnFixture, public ::testing::WithParamInterface<LayoutCase> {};

TEST_P(PicBtnLayout, SizesToOneFrameAndShowsItsRows) {
  const LayoutCase c = GetParam();
  button->maskedPicture()->setPicture(rowCodedStrip(26, c.pictureHeight));
  button->setNumStates(c.numStates);
  button->setBtnState(c.btnState);
  EXPECT_EQ(button->size(), QSize(26, c.expectedHeight));
  EXPECT_EQ(shownRow(button), c.expectedTopRow);
  // The bottom row of the frame is the frame's last picture row.
  const QImage shown = button->grab().toImage();
  EXPECT_EQ(qRed(shown.pixel(0, c.expectedHeight - 1)), c.expectedTopRow + c.expectedHeight - 1);
}

INSTANTIATE_TEST_SUITE_P(Frames, PicBtnLayout,
                         ::testing::Values(LayoutCase{78, 3, 1, 26, 0},
                                           LayoutCase{78, 3, 2, 26, 26},
                                           LayoutCase{78, 3, 3, 26, 52},
                                           // rows 78 and 79 are never shown
                                           LayoutCase{80, 3, 3, 26, 52},
                                           LayoutCase{78, 0, 1, 78, 0},
                                           LayoutCase{78, 2, 2, 39, 39}));

TEST_F(PicBtnFixture, NumStatesZeroStoresOneAndResetsEveryFrameNumber) {
  useThreeFrames();
  button->setBtnState(2);
  button->setNumStates(0);
  EXPECT_EQ(button->numStates(), 1);
  for (int frame : {button->sActive(), button->sInActive(), button->sDisabled(), button->sDown(),
                    button->btnState()})
    EXPECT_EQ(frame, 1);
  // sDisabled clamped to 1: showing frame 1 now disables the button.
  EXPECT_FALSE(button->isEnabled());
  EXPECT_EQ(button->height(), 78);
}

struct StateCase {
  int value;
  int expectedState;
  bool expectedEnabled;
};

class PicBtnState : public PicBtnFixture, public ::testing::WithParamInterface<StateCase> {};

TEST_P(PicBtnState, ClampsAndDisablesOnSDisabled) {
  useThreeFrames(); // sDisabled 3 of 3
  button->setBtnState(GetParam().value);
  EXPECT_EQ(button->btnState(), GetParam().expectedState);
  EXPECT_EQ(button->isEnabled(), GetParam().expectedEnabled);
}

INSTANTIATE_TEST_SUITE_P(Values, PicBtnState,
                         ::testing::Values(StateCase{0, 1, true}, StateCase{-7, 1, true},
                                           StateCase{2, 2, true}, StateCase{3, 3, false},
                                           StateCase{4, 1, true}, StateCase{99, 1, true}));

TEST_F(PicBtnFixture, FrameSettersClampAgainstTheCountInForce) {
  // Defaults: four frames. Set before and after reducing the count.
  button->setNextState(4);
  EXPECT_EQ(button->nextState(), 4);
  button->setNextState(5);
  EXPECT_EQ(button->nextState(), 0);
  button->setNextState(-1);
  EXPECT_EQ(button->nextState(), 0);
  button->setBtnState(4);
  button->setNumStates(2);
  EXPECT_EQ(button->btnState(), 1);
  EXPECT_EQ(button->sDown(), 1);     // was 4
  EXPECT_EQ(button->sInActive(), 2); // still in range
  button->setsDown(3);
  EXPECT_EQ(button->sDown(), 1);
  button->setsDown(0);
  EXPECT_EQ(button->sDown(), 1);
  button->setsDown(2);
  EXPECT_EQ(button->sDown(), 2);
}

TEST_F(PicBtnFixture, PressMoveOffReleaseGivesOneCommandAndNoClick) {
  useThreeFrames();
  cursorOnButton();
  QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(commands, 1);
  EXPECT_EQ(button->btnState(), 2);
  cursorOffButton();
  ++now;
  button->repeatTick();
  EXPECT_EQ(button->btnState(), 1);
  QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(-40, -40));
  EXPECT_EQ(clicks, 0);
  EXPECT_EQ(commands, 1);
  EXPECT_EQ(button->btnState(), 1);
}

TEST_F(PicBtnFixture, ClickReturnsToTheFrameShownBeforeThePress) {
  useThreeFrames();
  button->setNumStates(4);
  button->setsDisabled(4);
  button->maskedPicture()->setPicture(rowCodedStrip(26, 104));
  button->setBtnState(3);
  button->setNextState(3); // the launcher's delete face
  cursorOnButton();
  QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(button->btnState(), 3);
}

TEST_F(PicBtnFixture, DoubleClickIsTwoPressesAndTwoReleases) {
  useThreeFrames();
  cursorOnButton();
  sendMouse(button, QEvent::MouseButtonPress, {5, 5});
  sendMouse(button, QEvent::MouseButtonRelease, {5, 5});
  sendMouse(button, QEvent::MouseButtonDblClick, {5, 5});
  sendMouse(button, QEvent::MouseButtonRelease, {5, 5});
  EXPECT_EQ(commands, 2);
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(button->btnState(), 1);
}

struct RepeatCase {
  int firstWait;
  int tickGap; // ticks arrive every tickGap ms after a late first tick
  int expectedCommands;
};

class PicBtnRepeat : public PicBtnFixture, public ::testing::WithParamInterface<RepeatCase> {};

TEST_P(PicBtnRepeat, HeldForOneSecond) {
  useThreeFrames();
  button->setFirstWait(GetParam().firstWait);
  cursorOnButton();
  const std::uint32_t start = now;
  QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 5));
  if (GetParam().tickGap > 1) {
    // The timer was starved for a while; later ticks catch up one per tick.
    now += GetParam().tickGap;
    button->repeatTick();
  }
  tickUntil(start + 1000);
  EXPECT_EQ(commands, GetParam().expectedCommands);
  QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(clicks, 1);
}

// A FirstWait of 250 or more is kept: at the press, at 250, then every 55 ms
// up to 965 (late ticks catch up); a shorter one waits the 400 ms
// double-click interval: at the press, at 400, then up to 950.
INSTANTIATE_TEST_SUITE_P(Timing, PicBtnRepeat,
                         ::testing::Values(RepeatCase{250, 1, 15}, RepeatCase{1, 1, 12},
                                           RepeatCase{250, 600, 15}, RepeatCase{600, 1, 9}));

struct HoldCase {
  const char *name;
  int firstWait;
  int heldFor;               // ms from the press to the release
  std::vector<int> expected; // ms after the press of each command
};

class PicBtnHold : public PicBtnFixture, public ::testing::WithParamInterface<HoldCase> {};

// The main window's buttons: the step buttons keep their 250 ms; `preview`
// and `usedel` (FirstWait 1) act once on a click of ordinary length and
// repeat every 55 ms once held past the double-click interval.
TEST_P(PicBtnHold, CommandsComeAtTheirTimes) {
  useThreeFrames();
  button->setFirstWait(GetParam().firstWait);
  button->setRepeate(55);
  const std::uint32_t start = now;
  std::vector<int> fired;
  button->OnCommand = [&](QObject *) { fired.push_back(static_cast<int>(now - start)); };
  cursorOnButton();
  QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 5));
  tickUntil(start + GetParam().heldFor);
  QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(fired, GetParam().expected);
  EXPECT_EQ(clicks, 1);
}

INSTANTIATE_TEST_SUITE_P(MainWindowButtons, PicBtnHold,
                         ::testing::Values(HoldCase{"stepHeld249", 250, 249, {0}},
                                           HoldCase{"stepHeld300", 250, 300, {0, 250}},
                                           HoldCase{"stepHeld360", 250, 360, {0, 250, 305, 360}},
                                           HoldCase{"previewClick1", 1, 1, {0}},
                                           HoldCase{"previewClick80", 1, 80, {0}},
                                           HoldCase{"previewClick130", 1, 130, {0}},
                                           HoldCase{"previewClick399", 1, 399, {0}},
                                           HoldCase{"previewHeld400", 1, 400, {0, 400}},
                                           HoldCase{"usedelClick250", 1, 250, {0}},
                                           HoldCase{"usedelHeld510", 1, 510, {0, 400, 455, 510}},
                                           HoldCase{"longWaitHeld499", 500, 499, {0}},
                                           HoldCase{"longWaitHeld500", 500, 500, {0, 500}}),
                         [](const auto &info) { return std::string(info.param.name); });

struct WrapCase {
  const char *name;
  std::uint32_t pressedAt;
};

class PicBtnClockWrap : public PicBtnFixture, public ::testing::WithParamInterface<WrapCase> {};

// The millisecond clock passes 2^31 after about 24.8 days and wraps after
// about 49.7; a press held across either keeps its rhythm.
TEST_P(PicBtnClockWrap, HeldAcrossTheWrapKeepsItsRhythm) {
  useThreeFrames();
  now = GetParam().pressedAt;
  const std::uint32_t start = now;
  std::vector<int> fired;
  button->OnCommand = [&](QObject *) { fired.push_back(static_cast<int>(now - start)); };
  cursorOnButton();
  QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 5));
  tickUntil(start + 310);
  EXPECT_EQ(fired, (std::vector<int>{0, 250, 305}));
}

INSTANTIATE_TEST_SUITE_P(Uptime, PicBtnClockWrap,
                         ::testing::Values(WrapCase{"signedLimit", 0x7FFFFFFFu - 100},
                                           WrapCase{"justBeforeSignedLimit", 0x7FFFFF00u},
                                           WrapCase{"unsignedWrap", 0xFFFFFFFFu - 100}),
                         [](const auto &info) { return std::string(info.param.name); });

// A failing command is reported once per press, wherever it fails, and ends
// the repeat; the release still clicks.
struct FailureCase {
  const char *name;
  int failFrom; // the first call of OnCommand that throws (0 = the press)
  int expectedCalls;
};

class PicBtnFailure : public PicBtnFixture, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(PicBtnFailure, ReportedOncePerPress) {
  useThreeFrames();
  int calls = 0;
  button->OnCommand = [&](QObject *) {
    if (calls++ >= GetParam().failFrom)
      throw std::runtime_error("no luck");
  };
  cursorOnButton();
  for (int press = 1; press <= 2; ++press) {
    calls = 0;
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(button->btnState(), 2);
    tickUntil(now + 1000);
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(calls, GetParam().expectedCalls);
    EXPECT_EQ(reports, QStringList(press, QStringLiteral("no luck.")));
    EXPECT_EQ(clicks, press);
  }
}

INSTANTIATE_TEST_SUITE_P(Where, PicBtnFailure,
                         ::testing::Values(FailureCase{"atThePress", 0, 1},
                                           FailureCase{"onTheFirstRepeat", 1, 2},
                                           FailureCase{"onALaterRepeat", 3, 4}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(PicBtnFixture, DisablingDownFrameHandsFocusOnAndRepeatsUntilTheCursorLeaves) {
  // The confirmation box: two frames, sDown and sDisabled both 2.
  button->maskedPicture()->setPicture(rowCodedStrip(26, 82));
  button->setNumStates(2);
  button->setsDown(2);
  button->setsDisabled(2);
  button->setTabStop(true);
  auto *other = new TPicBtn(form.get());
  other->setTabStop(true);
  other->maskedPicture()->setPicture(rowCodedStrip(26, 82));
  other->move(100, 30);
  form->show();
  QApplication::setActiveWindow(form.get());
  ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));

  cursorOnButton();
  QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(commands, 1);
  EXPECT_FALSE(button->isEnabled());
  EXPECT_TRUE(other->hasFocus());
  QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(clicks, 0);
  tickUntil(now + 250);
  EXPECT_EQ(commands, 2);
  cursorOffButton();
  button->repeatTick();
  EXPECT_EQ(button->btnState(), 1);
  EXPECT_TRUE(button->isEnabled());
}

TEST_F(PicBtnFixture, SpaceCommandsArePacedAndReleaseClicks) {
  useThreeFrames();
  form->show();
  QApplication::setActiveWindow(form.get());
  ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
  button->setFocus();
  QTest::keyPress(button, Qt::Key_Space);
  EXPECT_EQ(commands, 1);
  EXPECT_EQ(button->btnState(), 2);
  now += 100; // auto-repeat before FirstWait: ignored
  QTest::keyPress(button, Qt::Key_Space);
  EXPECT_EQ(commands, 1);
  now += 150; // 250 after the first
  QTest::keyPress(button, Qt::Key_Space);
  EXPECT_EQ(commands, 2);
  now += 54;
  QTest::keyPress(button, Qt::Key_Space);
  EXPECT_EQ(commands, 2);
  now += 1;
  QTest::keyPress(button, Qt::Key_Space);
  EXPECT_EQ(commands, 3);
  QTest::keyRelease(button, Qt::Key_Space);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(button->btnState(), 1);
}

TEST_F(PicBtnFixture, FailingSpaceCommandIsReportedOncePerKeyPress) {
  useThreeFrames();
  int calls = 0;
  button->OnCommand = [&](QObject *) {
    ++calls;
    throw std::runtime_error("no luck");
  };
  form->show();
  QApplication::setActiveWindow(form.get());
  ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
  button->setFocus();
  for (int press = 1; press <= 2; ++press) {
    QTest::keyPress(button, Qt::Key_Space);
    for (int repeat = 0; repeat < 3; ++repeat) {
      now += 300; // the key's own repeats, all due
      QKeyEvent again(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), true);
      QApplication::sendEvent(button, &again);
    }
    QTest::keyRelease(button, Qt::Key_Space);
    EXPECT_EQ(calls, press);
    EXPECT_EQ(reports, QStringList(press, QStringLiteral("no luck.")));
    EXPECT_EQ(clicks, press);
  }
}

// A step button over the dragging background, as on the main window.
class PicBtnOverSkin : public PicBtnFixture {
protected:
  void SetUp() override {
    PicBtnFixture::SetUp();
    back = new TImage(form.get());
    QImage skin(200, 200, QImage::Format_RGB888);
    skin.fill(Qt::darkCyan);
    back->setPicture(skin);
    back->setGeometry(0, 0, 200, 200);
    back->OnMouseDown = [this](QObject *sender, Qt::MouseButton, Qt::KeyboardModifiers, int x,
                               int y) { drag.press(qobject_cast<QWidget *>(sender), x, y); };
    back->OnMouseMove = [this](QObject *sender, Qt::KeyboardModifiers, int x, int y) {
      drag.move(qobject_cast<QWidget *>(sender), x, y);
    };
    back->OnMouseUp = [this](QObject *, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
      drag.release();
    };
    button->raise();
    QImage strip = rowCodedStrip(26, 78);
    for (int y = 0; y < 78; y += 26) // white corners in every frame
      for (int x = 0; x < 4; ++x)
        strip.setPixel(x, y, qRgb(255, 255, 255));
    button->maskedPicture()->setMaskColor(clWhite);
    button->maskedPicture()->setPicture(strip);
    button->setMasked(true);
    button->setNumStates(3);
    button->setsDown(2);
    other = new TPicBtn(form.get());
    other->maskedPicture()->setPicture(rowCodedStrip(26, 78));
    other->move(100, 100);
    form->move(300, 200);
    form->show();
    QApplication::setActiveWindow(form.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    other->setFocus();
  }

  // Presses at `at` (in the button), drags 30 pixels down-right with the
  // button held and releases, all through the window as the system would.
  void pressAndDrag(QPoint at) {
    QWindow *window = form->windowHandle();
    const QPoint from = button->mapTo(form.get(), at);
    cursor = form->mapToGlobal(from);
    QTest::mousePress(window, Qt::LeftButton, {}, from);
    QTest::mouseMove(window, from + QPoint(30, 30));
    QTest::mouseRelease(window, Qt::LeftButton, {}, from + QPoint(30, 30));
  }

  TImage *back = nullptr;
  TPicBtn *other = nullptr;
  WindowDrag drag;
};

TEST_F(PicBtnOverSkin, PressOnASeeThroughPixelDoesNothing) {
  const QPoint place = form->pos();
  pressAndDrag(QPoint(1, 0));
  EXPECT_EQ(form->pos(), place) << "the window behind was dragged";
  EXPECT_EQ(commands, 0);
  EXPECT_EQ(clicks, 0);
  EXPECT_EQ(QApplication::focusWidget(), other);
  EXPECT_EQ(button->btnState(), 1);
}

TEST_F(PicBtnOverSkin, PressOnThePictureOrTheSkinStillActs) {
  const QPoint place = form->pos();
  pressAndDrag(QPoint(10, 10));
  EXPECT_EQ(commands, 1);
  EXPECT_EQ(QApplication::focusWidget(), button);
  EXPECT_EQ(form->pos(), place);
  // Beside the button, the skin drags the window.
  QWindow *window = form->windowHandle();
  QTest::mousePress(window, Qt::LeftButton, {}, QPoint(150, 20));
  QTest::mouseMove(window, QPoint(180, 50));
  QTest::mouseRelease(window, Qt::LeftButton, {}, QPoint(180, 50));
  EXPECT_NE(form->pos(), place);
}

struct TabCase {
  int focusable; // tab stops in the form besides the button
  bool backward;
  int expectedFocus; // -1 = the button keeps it, else index of the other button
};

class PicBtnTab : public PicBtnFixture, public ::testing::WithParamInterface<TabCase> {};

TEST_P(PicBtnTab, CyclesAmongTabStops) {
  useThreeFrames();
  button->setTabStop(true);
  QList<TPicBtn *> others;
  for (int i = 0; i < 2; ++i) {
    auto *b = new TPicBtn(form.get());
    b->maskedPicture()->setPicture(rowCodedStrip(26, 78));
    b->setTabStop(i < GetParam().focusable);
    others << b;
  }
  form->show();
  QApplication::setActiveWindow(form.get());
  ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
  button->setFocus();
  QTest::keyClick(button, GetParam().backward ? Qt::Key_Backtab : Qt::Key_Tab,
                  GetParam().backward ? Qt::ShiftModifier : Qt::NoModifier);
  QWidget *expected = GetParam().expectedFocus < 0 ? static_cast<QWidget *>(button)
                                                   : others[GetParam().expectedFocus];
  EXPECT_EQ(QApplication::focusWidget(), expected);
}

INSTANTIATE_TEST_SUITE_P(Order, PicBtnTab,
                         ::testing::Values(TabCase{0, false, -1}, TabCase{0, true, -1},
                                           TabCase{2, false, 0}, TabCase{2, true, 1}));

TEST_F(PicBtnFixture, FocusFrameDrawnInFocusColorWhileFocused) {
  useThreeFrames();
  button->setFocusColor(clRed);
  form->show();
  QApplication::setActiveWindow(form.get());
  ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
  EXPECT_NE(button->grab().toImage().pixel(0, 0), qRgb(255, 0, 0));
  button->setFocus();
  const QImage focused = button->grab().toImage();
  for (QPoint p : {QPoint(0, 0), QPoint(25, 0), QPoint(0, 25), QPoint(25, 25), QPoint(12, 0)})
    EXPECT_EQ(focused.pixel(p), qRgb(255, 0, 0)) << p.x() << "," << p.y();
  EXPECT_EQ(button->focusRect(), (TRect{0, 0, 26, 26}));
  EXPECT_NE(focused.pixel(12, 12), qRgb(255, 0, 0));
  // A focus painter that moves the rectangle keeps the change.
  button->OnDrawFocus = [](QObject *, QPainter &, TRect &r) { r.Left = 3; };
  button->grab();
  EXPECT_EQ(button->focusRect().Left, 3);
  button->clearFocus();
  EXPECT_NE(button->grab().toImage().pixel(0, 0), qRgb(255, 0, 0));
}

TEST_F(PicBtnFixture, HoverEnterWithoutExitHandlerFiresOnce) {
  useThreeFrames();
  int enters = 0;
  button->OnMouseEnter = [&](QObject *) { ++enters; };
  for (int i = 0; i < 3; ++i) {
    cursorOnButton();
    button->hoverTick();
    cursorOffButton();
    button->hoverTick();
  }
  EXPECT_EQ(enters, 1);
  int exits = 0;
  button->OnMouseExit = [&](QObject *) { ++exits; };
  button->hoverTick();
  cursorOnButton();
  button->hoverTick();
  button->hoverTick();
  EXPECT_EQ(exits, 1);
  EXPECT_EQ(enters, 2);
}

TEST(MaskedPicture, NotifiesOnlyOnRealChanges) {
  TMaskedPicture holder, other;
  int changes = 0;
  holder.OnChange = [&](QObject *sender) {
    EXPECT_EQ(sender, &holder);
    ++changes;
  };
  holder.setPicture(holder.picture()); // the held bitmap itself
  holder.setMaskColor(clBlack);        // the colour it has
  EXPECT_EQ(changes, 0);
  holder.setPicture(rowCodedStrip(4, 4));
  holder.setMaskColor(clWhite);
  EXPECT_EQ(changes, 2);
  holder.loadPicture(rowCodedStrip(2, 2)); // as a window being put together takes it
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(holder.picture().size(), QSize(2, 2));

  other.setMaskColor(clWhite);
  other.setPicture(rowCodedStrip(8, 8));
  holder.assign(other); // same colour: the picture comes silently
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(holder.picture(), other.picture());
  other.setMaskColor(clYellow);
  holder.assign(other);
  EXPECT_EQ(changes, 3);
  EXPECT_EQ(holder.maskColor(), clYellow);
}
