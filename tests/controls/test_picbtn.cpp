#include "picbtn_fixture.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <stdexcept>

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

// With the 400 ms double-click interval as the earliest first repeat: at the
// press, at 400, then every 55 ms up to 950; a longer FirstWait still counts
// (600, then up to 985).
INSTANTIATE_TEST_SUITE_P(Timing, PicBtnRepeat,
                         ::testing::Values(RepeatCase{250, 1, 12}, RepeatCase{1, 1, 12},
                                           RepeatCase{250, 600, 12}, RepeatCase{600, 1, 9}));

struct HoldCase {
  int firstWait;
  int heldFor; // ms from the press to the release
  int expectedCommands;
};

class PicBtnHold : public PicBtnFixture, public ::testing::WithParamInterface<HoldCase> {};

// However short FirstWait is, a click of ordinary length acts once and
// holding still repeats.
TEST_P(PicBtnHold, ClickActsOnceAndHoldingRepeats) {
  useThreeFrames();
  button->setFirstWait(GetParam().firstWait);
  cursorOnButton();
  const std::uint32_t start = now;
  QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 5));
  tickUntil(start + GetParam().heldFor);
  QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(commands, GetParam().expectedCommands);
  EXPECT_EQ(clicks, 1);
}

INSTANTIATE_TEST_SUITE_P(Lengths, PicBtnHold,
                         ::testing::Values(HoldCase{1, 1, 1}, HoldCase{1, 80, 1},
                                           HoldCase{1, 130, 1}, HoldCase{1, 399, 1},
                                           HoldCase{1, 400, 2}, HoldCase{1, 455, 3},
                                           HoldCase{250, 300, 1}, HoldCase{500, 454, 1},
                                           HoldCase{500, 500, 2}));

TEST_F(PicBtnFixture, CommandThrownAtThePressIsDroppedAndReleaseStillClicks) {
  useThreeFrames();
  button->OnCommand = [](QObject *) { throw std::runtime_error("boom"); };
  cursorOnButton();
  QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(button->btnState(), 2);
  QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(reports.isEmpty());
}

TEST_F(PicBtnFixture, CommandThrownOnARepeatIsReported) {
  useThreeFrames();
  cursorOnButton();
  QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 5));
  button->OnCommand = [](QObject *) { throw std::runtime_error("tick failed"); };
  tickUntil(now + kDoubleClickInterval + 10);
  ASSERT_FALSE(reports.isEmpty());
  EXPECT_EQ(reports.first(), "tick failed.");
}

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
  tickUntil(now + kDoubleClickInterval + 10);
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
