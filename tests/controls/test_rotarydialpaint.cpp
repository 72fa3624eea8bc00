#include "controls/rotarydial.h"
#include "platform/sound.h"

#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <QTest>
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using vantor::TRotaryDial;

namespace {

const QColor kTeal(0x00, 0x80, 0x80);
const QColor kRed(255, 0, 0);
const QColor kFace(182, 182, 182);

// The launcher's dial: 177 pixels, teal, centre 88.
class RotaryDialPaintTest : public ::testing::Test {
protected:
  void SetUp() override {
    vantor::platform::setSoundService([](const vantor::platform::SoundRequest &) { return true; });
    dial.resize(177, 177);
    dial.setColor(vantor::clTeal);
  }
  void TearDown() override { vantor::platform::setSoundService({}); }

  QImage render() { return dial.grab().toImage().convertToFormat(QImage::Format_RGB32); }

  static QPoint polar(double degrees, double radius) {
    const double radians = degrees * std::numbers::pi / 180;
    return {static_cast<int>(std::lround(88 + radius * std::cos(radians))),
            static_cast<int>(std::lround(88 - radius * std::sin(radians)))};
  }
  static QColor at(const QImage &image, QPoint point) { return image.pixelColor(point); }
  // Whether a black pixel lies within one pixel of `point`.
  static bool blackNear(const QImage &image, QPoint point) {
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx)
        if (image.pixelColor(point + QPoint(dx, dy)) == QColor(Qt::black))
          return true;
    return false;
  }
  static int blackIn(const QImage &image, const QRect &area) {
    int count = 0;
    const QRect clipped = area & image.rect();
    for (int y = clipped.top(); y <= clipped.bottom(); ++y)
      for (int x = clipped.left(); x <= clipped.right(); ++x)
        count += image.pixelColor(x, y) == QColor(Qt::black);
    return count;
  }

  TRotaryDial dial;
};

TEST_F(RotaryDialPaintTest, RedWedgeLiesAtThePositionsAngle) {
  struct Row {
    int max;
    int position;
    double middle; // the wedge's middle angle
  };
  // Max 10: 27-degree steps from 238 down; Max 4: 67 from 257; Max 2: 135
  // from 292; Max 0: the 270-degree wedge 90..360.
  for (const Row row : {Row{10, 0, 224.5}, Row{10, 5, 89.5}, Row{10, 10, -45.5}, Row{4, 2, 89.5},
                        Row{2, 1, 89.5}, Row{0, 0, 225}}) {
    dial.setMax(row.max);
    dial.setPosition(row.position);
    const QImage image = render();
    for (double radius : {45.0, 51.0, 57.0})
      EXPECT_EQ(at(image, polar(row.middle, radius)), kRed) << row.max << " " << row.position;
    // Opposite the wedge the knob face shows; inside the hub too.
    EXPECT_EQ(at(image, polar(row.middle + 180, 51)), kFace) << row.max << " " << row.position;
    EXPECT_EQ(at(image, polar(row.middle, 30)), kFace) << row.max << " " << row.position;
  }
}

TEST_F(RotaryDialPaintTest, ValueBoxFramesThePosition) {
  const QFontMetrics metrics(dial.font());
  for (const int position : {0, 7, 10, 188}) {
    dial.setMax(300);
    dial.setPosition(position);
    const QImage image = render();
    const QString text = QString::number(position);
    // The box: from (centre - 5, height - 20), ten pixels wider than the text
    // and as high; a silver outline on teal with the number black in its middle.
    const QRect box(88 - 5, 177 - 20, metrics.horizontalAdvance(text) + 10, metrics.height());
    QImage expected(box.size(), QImage::Format_RGB32);
    expected.fill(kTeal);
    {
      QPainter painter(&expected);
      painter.setPen(QColor(192, 192, 192));
      painter.drawRect(QRect(QPoint(0, 0), box.size()).adjusted(0, 0, -1, -1));
      painter.setFont(dial.font());
      painter.setPen(Qt::black);
      painter.drawText(QRect(QPoint(0, 0), box.size()), Qt::AlignCenter, text);
    }
    const QImage drawn = image.copy(box & image.rect());
    EXPECT_EQ(drawn, expected.copy(QRect(QPoint(0, 0), drawn.size()))) << position;
    EXPECT_GT(blackIn(image, box.adjusted(1, 1, -1, -1)), 0) << position;
    // The outline runs round the number: down its left edge and along its top
    // and bottom, not only down its right.
    for (int y = box.top() + 1; y < std::min(box.bottom(), 176); ++y)
      EXPECT_EQ(at(image, {box.left(), y}), QColor(192, 192, 192)) << position << " y " << y;
    for (int x = box.left(); x <= box.right(); ++x)
      EXPECT_EQ(at(image, {x, box.top()}), QColor(192, 192, 192)) << position << " x " << x;
    EXPECT_EQ(at(image, {box.right() + 1, box.top() + 2}), kTeal) << position;
  }
}

TEST_F(RotaryDialPaintTest, TicksMarkEveryStepAndLeaveTheGapEmpty) {
  // Max 10: ticks at 315 + 27k and at 225, between radii 75 and 86.
  struct Row {
    double angle;
    bool tick;
  };
  const Row rows[] = {{315, true},    {342, true},  {90, true},   {225, true},
                      {328.5, false}, {270, false}, {250, false}, {103.5, false}};
  QImage image = render();
  for (const Row row : rows)
    EXPECT_EQ(blackNear(image, polar(row.angle, 80)), row.tick) << row.angle;
  dial.setDrawTicks(false);
  image = render();
  for (const Row row : rows)
    EXPECT_FALSE(blackNear(image, polar(row.angle, 80))) << row.angle;
}

struct SizeRow {
  int games;
};

class RotaryDialSizes : public RotaryDialPaintTest,
                        public ::testing::WithParamInterface<SizeRow> {};

// Ticks cover a small share of the ring between the scale and tick circles,
// and the pointer stays a wedge of real size, however many games the dial
// holds.
TEST_P(RotaryDialSizes, ReadsAtAnyCatalogueSize) {
  const int max = GetParam().games - 1;
  dial.setMax(max);
  dial.setPosition(max / 2);
  const QImage image = render();
  int ring = 0, ticks = 0, red = 0;
  double sumX = 0, sumY = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const double dx = x - 88, dy = 88 - y;
      const double radius = std::hypot(dx, dy);
      const QColor colour = image.pixelColor(x, y);
      if (radius >= 77 && radius <= 84) {
        ++ring;
        ticks += colour == QColor(Qt::black);
      }
      if (colour == kRed) {
        ++red;
        sumX += dx;
        sumY += dy;
      }
    }
  EXPECT_GT(ticks, 0) << "no scale at all";
  EXPECT_LT(ticks * 4, ring) << ticks << " of " << ring << " ring pixels are tick marks";
  EXPECT_GE(red, 120) << "the pointer has shrunk";
  // Centred on the position's own wedge, near 12 o'clock.
  const auto pointer = dial.pointerAngles();
  EXPECT_NEAR(std::atan2(sumY, sumX) * 180 / std::numbers::pi, (pointer.p1 + pointer.p2) / 2.0, 2);
}

INSTANTIATE_TEST_SUITE_P(Catalogues, RotaryDialSizes,
                         ::testing::Values(SizeRow{10}, SizeRow{271}, SizeRow{2000},
                                           SizeRow{100000}),
                         [](const auto &info) { return std::to_string(info.param.games); });

TEST_F(RotaryDialPaintTest, KnobShadowFallsOnTheLowerRight) {
  const QImage image = render();
  EXPECT_EQ(at(image, polar(315, 63)), QColor(144, 144, 144));
  EXPECT_EQ(at(image, polar(135, 63)), QColor(212, 212, 212));
}

TEST_F(RotaryDialPaintTest, PrintValuesLabelsTheScaleInsteadOfTheValueBox) {
  dial.setMax(10);
  dial.setPosition(7);
  const QRect valueArea(60, 177 - 20, 57, 20);
  // Beyond the tick circle only labels are drawn.
  auto labelPixels = [](const QImage &image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        count += std::hypot(x - 88, y - 88) > 87 && qGray(image.pixel(x, y)) < 60;
    return count;
  };
  QImage image = render();
  EXPECT_GT(blackIn(image, valueArea), 0);
  EXPECT_EQ(labelPixels(image), 0);

  dial.setPrintValues(true);
  image = render();
  EXPECT_EQ(blackIn(image, valueArea), 0);
  EXPECT_GT(labelPixels(image), 20);

  dial.setDrawTicks(false); // neither labels nor value box
  image = render();
  EXPECT_EQ(labelPixels(image), 0);
  EXPECT_EQ(blackIn(image, valueArea), 0);
}

TEST_F(RotaryDialPaintTest, BecomesSquareAtItsNextPaint) {
  dial.resize(177, 120);
  render();
  EXPECT_EQ(dial.size(), QSize(177, 177));
  EXPECT_EQ(render().size(), QSize(177, 177));
  dial.show();
  dial.resize(150, 200);
  QApplication::processEvents();
  EXPECT_EQ(dial.size(), QSize(150, 150));
}

TEST_F(RotaryDialPaintTest, FocusEllipseOnlyWhenFocusedAskedForAndUnlabelled) {
  dial.show();
  dial.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dial));
  const QRect topEdge(70, 0, 37, 2);
  struct Row {
    bool drawFocused;
    bool printValues;
    bool focused;
    bool ellipse;
  };
  for (const Row row : {Row{true, false, true, true}, Row{false, false, true, false},
                        Row{true, false, false, false}, Row{true, true, true, false}}) {
    dial.setDrawFocused(row.drawFocused);
    dial.setPrintValues(row.printValues);
    if (row.focused)
      QTest::mouseClick(&dial, Qt::LeftButton, {}, {88, 88}); // a press takes the focus
    else
      dial.clearFocus();
    ASSERT_EQ(dial.hasFocus(), row.focused);
    EXPECT_EQ(blackIn(render(), topEdge) > 0, row.ellipse)
        << row.drawFocused << row.printValues << row.focused;
  }
}

// Counts paint events and keeps the last painted region.
class PaintSpy final : public QObject {
public:
  int paints = 0;
  QRegion region;
  bool eventFilter(QObject *, QEvent *event) override {
    if (event->type() == QEvent::Paint) {
      ++paints;
      region = static_cast<QPaintEvent *>(event)->region();
    }
    return false;
  }
};

TEST_F(RotaryDialPaintTest, PositionRepaintsKnobAndValueAtOnceAndFocusRepaintsAll) {
  dial.show();
  dial.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dial));
  QApplication::processEvents();
  PaintSpy spy;
  dial.installEventFilter(&spy);

  dial.setPosition(4); // no event processing between: the paint is immediate
  EXPECT_EQ(spy.paints, 1);
  EXPECT_TRUE(spy.region.contains(QPoint(88, 88)));
  EXPECT_TRUE(spy.region.contains(QPoint(88, 177 - 15)));
  EXPECT_FALSE(spy.region.contains(QPoint(3, 3)));    // the scale stays
  EXPECT_FALSE(spy.region.contains(QPoint(88, 4)));   // top tick
  EXPECT_FALSE(spy.region.contains(QPoint(170, 88))); // right ticks

  dial.clearFocus();
  ASSERT_FALSE(dial.hasFocus());
  spy.paints = 0;
  dial.setFocus(Qt::OtherFocusReason);
  ASSERT_TRUE(dial.hasFocus());
  EXPECT_EQ(spy.paints, 1);
  EXPECT_EQ(spy.region, QRegion(dial.rect()));
  spy.paints = 0;
  dial.clearFocus();
  EXPECT_EQ(spy.paints, 1);
  dial.removeEventFilter(&spy);
}

} // namespace
