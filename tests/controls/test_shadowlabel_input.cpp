// Mouse tracking, clicks and the accelerator of the shadow label.
#include "label_support.h"

#include "platform/clock.h"
#include "support/counter.h"

#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

using namespace vantor;
using namespace labeltest;

namespace {

class LabelInput : public ::testing::Test {
protected:
  Scene scene;
  test::Counter enter;
  test::Counter leave;
  QPoint cursor;

  void SetUp() override {
    scene.label.OnMouseEnter = enter.handler();
    scene.label.OnMouseLeave = leave.handler();
    scene.label.setCaption("Label");
    scene.parent.show();
    scene.parent.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&scene.parent));
    cursor = outside();
    platform::setCursorSource([this] { return cursor; });
    enter.clear();
    leave.clear();
  }
  void TearDown() override { platform::setCursorSource({}); }

  QPoint inside() const { return scene.label.mapToGlobal(QPoint(3, 3)); }
  QPoint outside() const { return scene.parent.mapToGlobal(QPoint(250, 100)); }
  void sendEnter() {
    cursor = inside();
    QEnterEvent event(QPointF(3, 3), QPointF(3, 3), QPointF(inside()));
    QCoreApplication::sendEvent(&scene.label, &event);
  }
  void sendLeave() {
    cursor = outside();
    QEvent event(QEvent::Leave);
    QCoreApplication::sendEvent(&scene.label, &event);
  }
};

} // namespace

TEST_F(LabelInput, EnterAndLeaveFireOnce) {
  sendEnter();
  sendEnter();
  EXPECT_EQ(enter.count(), 1);
  EXPECT_EQ(enter.sender, &scene.label);
  EXPECT_TRUE(scene.label.mouseInside());
  sendLeave();
  sendLeave();
  EXPECT_EQ(leave.count(), 1);
  EXPECT_FALSE(scene.label.mouseInside());
}

TEST_F(LabelInput, HeldLeftButtonDelaysTheLeaveUntilRelease) {
  sendEnter();
  QTest::mousePress(&scene.label, Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
  sendLeave(); // dragged out with the button down
  EXPECT_EQ(leave.count(), 0);
  EXPECT_TRUE(scene.label.mouseInside());
  QTest::mouseRelease(&scene.label, Qt::LeftButton, Qt::NoModifier, QPoint(200, 50));
  EXPECT_EQ(leave.count(), 1);
  EXPECT_EQ(enter.count(), 1);
  EXPECT_FALSE(scene.label.mouseInside());
}

TEST_F(LabelInput, ReleaseOverTheLabelKeepsItEntered) {
  sendEnter();
  QTest::mousePress(&scene.label, Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
  QTest::mouseRelease(&scene.label, Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
  EXPECT_EQ(leave.count(), 0);
  EXPECT_TRUE(scene.label.mouseInside());
}

TEST_F(LabelInput, RightPressNoticesACursorThatAlreadyLeft) {
  sendEnter();
  cursor = outside(); // left without a leave notification
  QTest::mousePress(&scene.label, Qt::RightButton, Qt::NoModifier, QPoint(3, 3));
  EXPECT_EQ(leave.count(), 1);
}

TEST_F(LabelInput, DisabledLabelIsNeverEntered) {
  scene.label.setEnabled(false);
  sendEnter();
  EXPECT_EQ(enter.count(), 0);
  // Enabling it with the cursor over it enters it.
  scene.label.setEnabled(true);
  EXPECT_EQ(enter.count(), 1);
  scene.label.setEnabled(false);
  EXPECT_EQ(leave.count(), 1);
}

TEST_F(LabelInput, DisablingForgetsTheHeldButton) {
  sendEnter();
  QTest::mousePress(&scene.label, Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
  scene.label.setEnabled(false); // the release will not come
  scene.label.setEnabled(true);
  EXPECT_EQ(enter.count(), 2);
  sendLeave();
  EXPECT_EQ(leave.count(), 2);
  EXPECT_FALSE(scene.label.mouseInside());
}

TEST_F(LabelInput, ShowingUnderTheCursorEnters) {
  scene.label.hide();
  cursor = inside();
  scene.label.show();
  EXPECT_EQ(enter.count(), 1);
}

TEST_F(LabelInput, ClickFiresOnALeftReleaseInside) {
  test::Counter click, dbl;
  test::MouseRecorder down, up;
  scene.label.OnClick = click.handler();
  scene.label.OnMouseDown = down.handler();
  scene.label.OnMouseUp = up.handler();
  scene.label.OnDblClick = dbl.handler();
  QTest::mouseClick(&scene.label, Qt::LeftButton, Qt::NoModifier, QPoint(4, 5));
  EXPECT_EQ(click.count(), 1);
  ASSERT_EQ(down.count(), 1);
  EXPECT_EQ(down[0].x, 4);
  EXPECT_EQ(down[0].y, 5);
  EXPECT_EQ(up.count(), 1);
  QTest::mousePress(&scene.label, Qt::LeftButton, Qt::NoModifier, QPoint(4, 5));
  QTest::mouseRelease(&scene.label, Qt::LeftButton, Qt::NoModifier, QPoint(250, 5));
  EXPECT_EQ(click.count(), 1); // released outside
  QTest::mouseDClick(&scene.label, Qt::LeftButton, Qt::NoModifier, QPoint(4, 5));
  EXPECT_EQ(dbl.count(), 1);
}

TEST(LabelAccelerator, MovesTheFocusToTheFocusControl) {
  const struct {
    const char *caption;
    QChar key;
    bool showAccel, labelEnabled, editEnabled, withControl, handled;
  } rows[] = {
      {"&Name", 'n', true, true, true, true, true},
      {"&Name", 'N', true, true, true, true, true},
      {"&Name", 'a', true, true, true, true, false},
      {"&&Name", 'n', true, true, true, true, false},
      {"&Name", 'n', false, true, true, true, false},
      {"&Name", 'n', true, false, true, true, false},
      {"&Name", 'n', true, true, false, true, false},
      {"&Name", 'n', true, true, true, false, false},
  };
  for (const auto &row : rows) {
    QWidget window;
    TShadowLabel label(&window);
    QLineEdit edit(&window);
    QLineEdit other(&window);
    label.setCaption(row.caption);
    label.setShowAccelChar(row.showAccel);
    label.setEnabled(row.labelEnabled);
    edit.setEnabled(row.editEnabled);
    if (row.withControl)
      label.setFocusControl(&edit);
    window.show();
    other.setFocus();
    EXPECT_EQ(label.dialogChar(row.key), row.handled) << row.caption << " " << row.key.toLatin1();
    EXPECT_EQ(window.focusWidget() == &edit, row.handled) << row.caption;
  }
}

TEST(LabelAccelerator, AltKeyReachesTheLabelAsAShortcut) {
  QWidget window;
  TShadowLabel label(&window);
  QLineEdit other(&window);
  QLineEdit edit(&window);
  label.setCaption("&Rom folder");
  label.setFocusControl(&edit);
  window.show();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  other.setFocus();
  QTest::keyClick(&window, Qt::Key_R, Qt::AltModifier);
  EXPECT_TRUE(edit.hasFocus());
  other.setFocus();
  label.setShowAccelChar(false);
  QTest::keyClick(&window, Qt::Key_R, Qt::AltModifier);
  EXPECT_FALSE(edit.hasFocus());
}

TEST(LabelAccelerator, FocusControlThatGoesAwayIsForgotten) {
  QWidget window;
  TShadowLabel label(&window);
  auto *edit = new QLineEdit(&window);
  label.setCaption("&Name");
  label.setFocusControl(edit);
  delete edit;
  EXPECT_EQ(label.focusControl(), nullptr);
  EXPECT_FALSE(label.dialogChar('n'));
}
