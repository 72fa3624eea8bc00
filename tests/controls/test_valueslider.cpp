#include "controls/valueslider.h"
#include "platform/errors.h"
#include "support/counter.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <gtest/gtest.h>

using namespace vantor;
using vantor::test::Counter;
using S = TCustomValueSlider;

namespace {

QImage solid(int w, int h, QColor fill, QColor key) {
  QImage img(w, h, QImage::Format_RGB888);
  img.fill(fill);
  img.setPixelColor(0, h - 1, key); // the transparent colour
  return img;
}

// The setup window's frame-skip slider.
void makeFrameSkip(TValueSlider &s) {
  s.resize(273, 33);
  s.setBevelStyle(S::bvLowered);
  s.setColor(clTeal);
  s.setMaxValue(4);
  s.setIncrement(1);
  s.setOptions(S::soShowFocus | S::soShowPoints);
  s.setNumThumbStates(1);
  s.setImage(S::HThumb, solid(13, 21, QColor(200, 0, 0), Qt::magenta));
  s.setImage(S::HRuler, solid(16, 8, QColor(0, 0, 200), Qt::magenta));
  s.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&s));
}

// A plain 0..100 slider, increment 10, default pictures.
void makePlain(TValueSlider &s, bool smooth = false) {
  s.setOptions(smooth ? S::TSliderOptions(S::soSmooth) : S::TSliderOptions());
  s.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&s));
}

void mouse(QWidget &w, QEvent::Type type, QPoint p, Qt::MouseButton button,
           Qt::MouseButtons buttons) {
  QMouseEvent e(type, QPointF(p), w.mapToGlobal(QPointF(p)), button, buttons, Qt::NoModifier);
  QApplication::sendEvent(&w, &e);
}

void fireTimer(const QTimer &t) {
  QMetaObject::invokeMethod(const_cast<QTimer *>(&t), "timeout", Qt::DirectConnection);
}

QColor at(QWidget &w, int x, int y) {
  return w.grab().toImage().pixelColor(x, y);
}

TEST(ValueSlider, FrameSkipLayout) {
  TValueSlider s;
  makeFrameSkip(s);
  EXPECT_EQ(s.userImages(), 0b11);
  const slider::TrackGeometry g = s.geometryInfo();
  EXPECT_EQ(g.track, (TRect{1, 1, 272, 32}));
  EXPECT_EQ(s.rulerBitmap().size(), QSize(259, 8));
  EXPECT_EQ(s.rulerPos(), QPoint(7, 13));
  EXPECT_EQ(g.travel(), 246);
  const int lefts[] = {7, 69, 130, 191, 253};
  for (int v = 0; v <= 4; ++v) {
    s.setValue(v);
    EXPECT_EQ(s.thumbRect(), (TRect{lefts[v], 7, lefts[v] + 13, 28})) << v;
  }
  EXPECT_EQ(s.marksTop(), 29);
}

TEST(ValueSlider, FrameSkipMarks) {
  TValueSlider s;
  makeFrameSkip(s);
  const QImage img = s.grab().toImage();
  const QColor mark = toQColor(clWindowText);
  const int lefts[] = {7, 69, 130, 191, 253};
  for (int v = 0; v <= 4; ++v) {
    const int x = lefts[v] + 6;
    const int length = (v == 0 || v == 4) ? 5 : 3;
    // The end marks run to the client's last row (over the bevel), the
    // others stop two rows short of it.
    for (int y = 29; y < std::min(29 + length, 33); ++y)
      EXPECT_EQ(img.pixelColor(x, y), mark) << "value " << v << " y " << y;
    if (29 + length < 33) {
      EXPECT_NE(img.pixelColor(x, 29 + length), mark) << v;
    }
    EXPECT_NE(img.pixelColor(x, 28), mark) << v;
  }
  int marked = 0;
  for (int x = 0; x < img.width(); ++x)
    marked += img.pixelColor(x, 29) == mark;
  EXPECT_EQ(marked, 5);
}

TEST(ValueSlider, PaintsBevelRulerAndThumbWithTransparency) {
  TValueSlider s;
  makeFrameSkip(s);
  s.setValue(2); // thumb at 130..142, 7..27
  const QImage img = s.grab().toImage();
  EXPECT_EQ(img.pixelColor(0, 0), toQColor(clBtnShadow));
  EXPECT_EQ(img.pixelColor(272, 32), toQColor(clBtnHighlight));
  EXPECT_EQ(img.pixelColor(10, 5), toQColor(clTeal));
  EXPECT_EQ(img.pixelColor(20, 15), QColor(0, 0, 200));  // ruler
  EXPECT_EQ(img.pixelColor(7, 20), toQColor(clTeal));    // its bottom-left colour left out
  EXPECT_EQ(img.pixelColor(135, 10), QColor(200, 0, 0)); // thumb over the ruler
  EXPECT_EQ(img.pixelColor(130, 27), toQColor(clTeal));  // thumb's key colour left out
}

TEST(ValueSlider, FocusRectangleOnlyWithFocus) {
  TValueSlider s;
  makeFrameSkip(s);
  s.clearFocus();
  QApplication::processEvents();
  const QColor teal = toQColor(clTeal);
  EXPECT_EQ(at(s, 3, 3), teal);
  s.activateWindow();
  s.setFocus();
  QApplication::processEvents();
  ASSERT_TRUE(s.hasFocus());
  // (1+2, 1+2) is a dot of the frame, inverted; (3, 4) the gap after it.
  EXPECT_EQ(at(s, 3, 3), QColor(255 - teal.red(), 255 - teal.green(), 255 - teal.blue()));
  EXPECT_EQ(at(s, 3, 4), teal);
  EXPECT_EQ(at(s, 4, 3), teal);
  s.setOptions(S::soShowPoints);
  EXPECT_EQ(at(s, 3, 3), teal);
}

TEST(ValueSlider, TwoStateThumbShowsSecondPictureWhenPressedOrDisabled) {
  TValueSlider s;
  QImage thumb(18, 17, QImage::Format_RGB888);
  thumb.fill(Qt::magenta);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 18; ++x)
      thumb.setPixelColor(x, y, x < 9 ? Qt::green : Qt::blue);
  s.setImage(S::HThumb, thumb);
  makePlain(s);
  const TRect t = s.thumbRect();
  EXPECT_EQ(t.width(), 9);
  EXPECT_EQ(at(s, t.Left + 4, t.Top + 4), QColor(Qt::green));
  mouse(s, QEvent::MouseButtonPress, {t.Left + 4, t.Top + 4}, Qt::LeftButton, Qt::LeftButton);
  EXPECT_EQ(at(s, t.Left + 4, t.Top + 4), QColor(Qt::blue));
  mouse(s, QEvent::MouseButtonRelease, {t.Left + 4, t.Top + 4}, Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(at(s, t.Left + 4, t.Top + 4), QColor(Qt::green));
  s.setEnabled(false);
  EXPECT_EQ(at(s, t.Left + 4, t.Top + 4), QColor(Qt::blue));
}

struct DragRow {
  bool smooth;
  int dx;
  int expected;
};

class ValueSliderDrag : public ::testing::TestWithParam<DragRow> {};

TEST_P(ValueSliderDrag, SnapsUnlessSmooth) {
  const DragRow row = GetParam();
  TValueSlider s;
  makePlain(s, row.smooth);
  Counter change;
  s.OnChange = change.handler();
  Counter changed;
  s.OnChanged = changed.handler();
  const TRect t = s.thumbRect();
  const QPoint grab(t.Left + 2, t.Top + 3);
  mouse(s, QEvent::MouseButtonPress, grab, Qt::LeftButton, Qt::LeftButton);
  mouse(s, QEvent::MouseMove, grab + QPoint(row.dx, 0), Qt::NoButton, Qt::LeftButton);
  EXPECT_EQ(s.value(), row.expected);
  EXPECT_EQ(s.thumbRect().Left, s.geometryInfo().valueToOffset(row.expected));
  EXPECT_EQ(change.count(), row.expected != 0 ? 1 : 0);
  EXPECT_EQ(changed.count(), 0);
  mouse(s, QEvent::MouseButtonRelease, grab + QPoint(row.dx, 0), Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(changed.count(), 1);
}

// 150 x 40 with default pictures: origin 6, travel 129.
INSTANTIATE_TEST_SUITE_P(Rows, ValueSliderDrag,
                         ::testing::Values(DragRow{false, 1, 0}, DragRow{true, 1, 1},
                                           DragRow{false, 8, 10}, DragRow{true, 8, 6},
                                           DragRow{false, 19, 20}, DragRow{true, 19, 15},
                                           DragRow{false, 64, 50}, DragRow{true, 64, 50},
                                           DragRow{false, 500, 100}, DragRow{true, -50, 0}));

struct StepRow {
  int from;
  Qt::Key key;
  int expected;
};

class ValueSliderKeys : public ::testing::TestWithParam<StepRow> {};

TEST_P(ValueSliderKeys, StepOnIncrementGrid) {
  const StepRow row = GetParam();
  TValueSlider s;
  makePlain(s);
  s.setValue(row.from);
  Counter change;
  s.OnChange = change.handler();
  Counter changed;
  s.OnChanged = changed.handler();
  QTest::keyClick(&s, row.key);
  EXPECT_EQ(s.value(), row.expected);
  EXPECT_EQ(change.count(), row.expected != row.from ? 1 : 0);
  EXPECT_EQ(changed.count(), 1); // also at a bound
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ValueSliderKeys,
    ::testing::Values(StepRow{15, Qt::Key_Right, 30}, StepRow{15, Qt::Key_Left, 10},
                      StepRow{5, Qt::Key_Right, 10}, StepRow{5, Qt::Key_Left, 0},
                      StepRow{0, Qt::Key_Left, 0}, StepRow{100, Qt::Key_Right, 100},
                      StepRow{37, Qt::Key_Home, 0}, StepRow{37, Qt::Key_End, 100}));

TEST(ValueSlider, ArrowKeysOutsideTheSlidersDirectionPassThrough) {
  TValueSlider s;
  makePlain(s);
  s.setValue(40);
  Counter changed;
  s.OnChanged = changed.handler();
  QTest::keyClick(&s, Qt::Key_Up);
  QTest::keyClick(&s, Qt::Key_Down);
  EXPECT_EQ(s.value(), 40);
  EXPECT_EQ(changed.count(), 0);
  s.setOrientation(S::soVertical);
  QTest::keyClick(&s, Qt::Key_Up);
  EXPECT_EQ(s.value(), 50);
  QTest::keyClick(&s, Qt::Key_Down);
  QTest::keyClick(&s, Qt::Key_Down);
  EXPECT_EQ(s.value(), 30);
  QTest::keyClick(&s, Qt::Key_Right);
  EXPECT_EQ(s.value(), 30);
  EXPECT_EQ(changed.count(), 3);
}

TEST(ValueSlider, ModifiedKeysDoNothing) {
  TValueSlider s;
  makePlain(s);
  s.setValue(50);
  Counter changed;
  s.OnChanged = changed.handler();
  for (Qt::KeyboardModifier m : {Qt::ShiftModifier, Qt::ControlModifier, Qt::AltModifier})
    for (Qt::Key k : {Qt::Key_Left, Qt::Key_Right, Qt::Key_Home, Qt::Key_End})
      QTest::keyClick(&s, k, m);
  EXPECT_EQ(s.value(), 50);
  EXPECT_EQ(changed.count(), 0);
}

TEST(ValueSlider, RulerPressRepeatsTowardTheMouseUntilThumbPassesIt) {
  TValueSlider s;
  makePlain(s);
  s.setValue(80);
  Counter change;
  s.OnChange = change.handler();
  Counter changed;
  s.OnChanged = changed.handler();
  // The point above value 45: left of the thumb, on the ruler's row.
  const int x = s.geometryInfo().valueToOffset(45);
  const int y = s.rulerPos().y() + 2;
  mouse(s, QEvent::MouseButtonPress, {x, y}, Qt::LeftButton, Qt::LeftButton);
  EXPECT_EQ(s.value(), 70); // one immediate step down
  EXPECT_TRUE(s.repeatTimer().isActive());
  EXPECT_EQ(s.repeatTimer().interval(), 400);
  fireTimer(s.repeatTimer());
  EXPECT_EQ(s.value(), 60);
  fireTimer(s.repeatTimer());
  EXPECT_EQ(s.value(), 50);
  fireTimer(s.repeatTimer());
  EXPECT_EQ(s.value(), 40); // thumb now covers or passes the mouse
  fireTimer(s.repeatTimer());
  EXPECT_EQ(s.value(), 40);
  // Moving beyond the other side does not turn the direction round.
  mouse(s, QEvent::MouseMove, {140, y}, Qt::NoButton, Qt::LeftButton);
  fireTimer(s.repeatTimer());
  EXPECT_EQ(s.value(), 40);
  // Back on the left side it steps down again.
  mouse(s, QEvent::MouseMove, {2, y}, Qt::NoButton, Qt::LeftButton);
  fireTimer(s.repeatTimer());
  EXPECT_EQ(s.value(), 30);
  EXPECT_EQ(change.count(), 5);
  EXPECT_EQ(changed.count(), 0);
  mouse(s, QEvent::MouseButtonRelease, {2, y}, Qt::LeftButton, Qt::NoButton);
  EXPECT_FALSE(s.repeatTimer().isActive());
  EXPECT_EQ(changed.count(), 1);
}

TEST(ValueSlider, RulerPressRightStepsUpAndAnyReleaseStops) {
  TValueSlider s;
  makePlain(s);
  const int y = s.rulerPos().y();
  mouse(s, QEvent::MouseButtonPress, {140, y - 3}, Qt::LeftButton, Qt::LeftButton);
  EXPECT_EQ(s.value(), 10);
  ASSERT_TRUE(s.repeatTimer().isActive());
  fireTimer(s.repeatTimer());
  EXPECT_EQ(s.value(), 20);
  mouse(s, QEvent::MouseButtonRelease, {140, y}, Qt::RightButton, Qt::NoButton);
  EXPECT_FALSE(s.repeatTimer().isActive());
}

TEST(ValueSlider, PressAwayFromRulerDoesNothing) {
  TValueSlider s;
  makePlain(s);
  s.setValue(50);
  const int y = s.rulerPos().y() + s.rulerBitmap().height() + 4;
  mouse(s, QEvent::MouseButtonPress, {10, y}, Qt::LeftButton, Qt::LeftButton);
  EXPECT_EQ(s.value(), 50);
  EXPECT_FALSE(s.repeatTimer().isActive());
  mouse(s, QEvent::MouseButtonPress, {10, s.rulerPos().y()}, Qt::RightButton, Qt::RightButton);
  EXPECT_EQ(s.value(), 50);
}

TEST(ValueSlider, RangeRules) {
  TValueSlider s;
  s.setValue(60);
  s.setMaxValue(4); // below MinValue + Increment
  EXPECT_EQ(s.increment(), 4);
  EXPECT_EQ(s.value(), 4);
  s.setMaxValue(0); // not above MinValue: ignored
  EXPECT_EQ(s.maxValue(), 4);
  s.setMinValue(10);
  EXPECT_EQ(s.minValue(), 0);
  s.setRange(-5, 20);
  EXPECT_EQ(s.increment(), 4);
  EXPECT_EQ(s.value(), 4);
  s.setValue(-100);
  EXPECT_EQ(s.value(), -5);
}

TEST(ValueSlider, IncrementOutsideRangeRaises) {
  TValueSlider s;
  for (int bad : {0, -3, 101}) {
    try {
      s.setIncrement(bad);
      ADD_FAILURE() << "no error for " << bad;
    } catch (const Error &e) {
      EXPECT_EQ(e.message(), QStringLiteral("Value must be between 1 and 100"));
    }
    EXPECT_EQ(s.increment(), 10);
  }
  s.setIncrement(100);
  EXPECT_EQ(s.increment(), 100);
  // While starting values are set as a batch the check is off.
  s.beginReading();
  s.setIncrement(500);
  s.endReading();
  EXPECT_EQ(s.increment(), 500);
}

TEST(ValueSlider, OffGridValueStaysButThumbSnaps) {
  TValueSlider s;
  makePlain(s);
  Counter change;
  s.OnChange = change.handler();
  s.setValue(15);
  EXPECT_EQ(s.value(), 15);
  EXPECT_EQ(change.count(), 1);
  EXPECT_EQ(s.thumbRect().Left, s.geometryInfo().valueToOffset(20));
  s.setValue(15);
  EXPECT_EQ(change.count(), 1);
}

TEST(ValueSlider, OrientationTurnsTheControl) {
  TValueSlider s;
  makePlain(s);
  ASSERT_EQ(s.size(), QSize(150, 40));
  s.setOrientation(S::soVertical);
  EXPECT_EQ(s.size(), QSize(40, 150));
  EXPECT_EQ(s.thumbRect().width(), 19);
  EXPECT_EQ(s.thumbRect().height(), 9);
  EXPECT_EQ(s.rulerBitmap().size(), QSize(8, 138));
  s.setValue(0);
  EXPECT_EQ(s.thumbRect().Top, 150 - 6 - 9); // values grow upward
  s.setValue(100);
  EXPECT_EQ(s.thumbRect().Top, 6);
  s.setOrientation(S::soHorizontal);
  EXPECT_EQ(s.size(), QSize(150, 40));
}

TEST(ValueSlider, VerticalDragMapsUpward) {
  TValueSlider s;
  makePlain(s, true);
  s.setOrientation(S::soVertical);
  const TRect t = s.thumbRect();
  const QPoint grab(t.Left + 3, t.Top + 2);
  mouse(s, QEvent::MouseButtonPress, grab, Qt::LeftButton, Qt::LeftButton);
  mouse(s, QEvent::MouseMove, grab - QPoint(0, 64), Qt::NoButton, Qt::LeftButton);
  EXPECT_EQ(s.value(), 50);
  mouse(s, QEvent::MouseButtonRelease, grab, Qt::LeftButton, Qt::NoButton);
}

TEST(ValueSlider, EdgeSizeLimits) {
  TValueSlider s; // default horizontal ruler is 10 wide
  struct Row {
    int set, expected;
  } rows[] = {{5, 2}, {4, 4}, {-1, 4}, {0, 0}, {10, 0}, {3, 3}};
  for (const auto &r : rows) {
    s.setEdgeSize(r.set);
    EXPECT_EQ(s.edgeSize(), r.expected) << r.set;
  }
}

TEST(ValueSlider, ImagesDefaultSizesAndUserSlots) {
  TValueSlider s;
  const QSize sizes[] = {{18, 17}, {10, 8}, {38, 9}, {8, 10}};
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ(s.image(i).size(), sizes[i]) << i;
  EXPECT_EQ(s.userImages(), 0);
  s.setImage(S::VRuler, solid(6, 6, Qt::red, Qt::white));
  EXPECT_EQ(s.userImages(), 0b1000);
  EXPECT_EQ(s.image(S::VRuler).size(), QSize(6, 6));
  s.setProperty("ImageVRuler", QVariant::fromValue(QImage()));
  EXPECT_EQ(s.userImages(), 0);
  EXPECT_EQ(s.image(S::VRuler).size(), QSize(8, 10));
  EXPECT_TRUE(s.setProperty("Value", 30));
  EXPECT_EQ(s.property("Value").toInt(), 30);
}

TEST(ValueSlider, NumThumbStatesRefitsThumb) {
  TValueSlider s;
  makePlain(s);
  EXPECT_EQ(s.thumbRect().width(), 9);
  s.setNumThumbStates(1);
  EXPECT_EQ(s.thumbRect().width(), 18);
  s.setNumThumbStates(2);
  EXPECT_EQ(s.thumbRect().width(), 9);
}

TEST(ValueSlider, HandCursorOverThumbOnly) {
  TValueSlider s;
  makePlain(s);
  const TRect t = s.thumbRect();
  mouse(s, QEvent::MouseMove, {t.Left + 1, t.Top + 1}, Qt::NoButton, Qt::NoButton);
  EXPECT_EQ(s.cursor().shape(), Qt::PointingHandCursor);
  mouse(s, QEvent::MouseMove, {t.Right, t.Top + 1}, Qt::NoButton, Qt::NoButton);
  EXPECT_EQ(s.cursor().shape(), Qt::ArrowCursor);
}

TEST(ValueSlider, DrawPointsHandlerReplacesMarks) {
  TValueSlider s;
  makeFrameSkip(s);
  int calls = 0;
  s.OnDrawPoints = [&](QObject *sender) {
    EXPECT_EQ(sender, &s);
    ++calls;
  };
  const QImage img = s.grab().toImage();
  EXPECT_GE(calls, 1);
  EXPECT_NE(img.pixelColor(13, 29), toQColor(clWindowText));
}

} // namespace
