#include "controls/rotarydialgeometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <set>
#include <vector>

using namespace vantor::dial;

namespace {

struct LayoutRow {
  int max;
  int step;
  int gap;
  int a1;
  int a2;
};

class StepLayoutTable : public ::testing::TestWithParam<LayoutRow> {};

TEST_P(StepLayoutTable, MatchesTheWorkedExamples) {
  const LayoutRow row = GetParam();
  const StepLayout layout = stepLayout(row.max);
  EXPECT_EQ(layout.step, row.step);
  EXPECT_EQ(layout.gap, row.gap);
  EXPECT_EQ(layout.a1, row.a1);
  EXPECT_EQ(layout.a2, row.a2);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, StepLayoutTable,
    ::testing::Values(LayoutRow{0, 270, 90, 315, 225}, LayoutRow{1, 270, 90, 315, 225},
                      LayoutRow{2, 135, 90, 315, 225}, LayoutRow{4, 67, 92, 316, 224},
                      LayoutRow{7, 38, 94, 317, 223}, LayoutRow{10, 27, 90, 315, 225},
                      LayoutRow{11, 24, 96, 318, 222}, LayoutRow{135, 2, 90, 315, 225},
                      LayoutRow{136, 1, 224, 382, 158}, LayoutRow{270, 1, 90, 315, 225},
                      // Odd counts past 136 keep a one-degree step instead of none.
                      LayoutRow{137, 1, 223, 382, 159}, LayoutRow{201, 1, 159, 350, 191},
                      LayoutRow{269, 1, 91, 316, 225},
                      // Beyond 270 steps the scale is that of 270.
                      LayoutRow{271, 1, 90, 315, 225}, LayoutRow{5000, 1, 90, 315, 225}));

// The plain rule: step 270 div N, one odd-gap correction.
StepLayout plainRule(int n) {
  int step = 270 / n;
  int gap = 360 - step * n;
  if (gap % 2) {
    step -= 1;
    gap += n;
  }
  return {n, n, step, gap, 270 + gap / 2, 270 - gap / 2};
}

TEST(StepLayout, KeepsThePlainRuleWhereverItGivesAStep) {
  for (int max = 1; max <= 270; ++max) {
    const StepLayout plain = plainRule(max);
    const StepLayout layout = stepLayout(max);
    if (plain.step == 0) {
      EXPECT_TRUE(max % 2 == 1 && max >= 137 && max <= 269) << max;
      continue;
    }
    EXPECT_EQ(layout.step, plain.step) << max;
    EXPECT_EQ(layout.gap, plain.gap) << max;
    EXPECT_EQ(layout.a1, plain.a1) << max;
    EXPECT_EQ(layout.a2, plain.a2) << max;
  }
}

TEST(StepLayout, ScaleAndGapMakeAFullTurnForEveryRange) {
  for (int max = 0; max <= 1200; ++max) {
    const StepLayout layout = stepLayout(max);
    ASSERT_GE(layout.step, 1) << max;
    EXPECT_LE(layout.drawn, kMaxDrawnSteps) << max;
    EXPECT_EQ(layout.step * layout.drawn + layout.gap, 360) << max;
    EXPECT_EQ(layout.a1 - layout.a2, layout.gap) << max;
    EXPECT_LE(std::abs(layout.a1 + layout.a2 - 540), 1) << max; // centred on 6 o'clock
  }
}

struct PointerRow {
  int max;
  int position;
  int p1;
  int p2;
};

class PointerTable : public ::testing::TestWithParam<PointerRow> {};

TEST_P(PointerTable, WedgeSitsOnThePositionsStep) {
  const PointerRow row = GetParam();
  const PointerAngles angles = pointerAngles(stepLayout(row.max), row.position);
  EXPECT_EQ(angles.p1, row.p1);
  EXPECT_EQ(angles.p2, row.p2);
}

INSTANTIATE_TEST_SUITE_P(Angles, PointerTable,
                         ::testing::Values(PointerRow{0, 0, 360, 90}, PointerRow{1, 1, 90, -180},
                                           PointerRow{10, 0, 238, 211}, PointerRow{10, 5, 103, 76},
                                           PointerRow{10, 10, -32, -59}, PointerRow{4, 2, 123, 56},
                                           PointerRow{137, 0, 159, 158},
                                           PointerRow{137, 137, 22, 21},
                                           // Large ranges share drawn steps.
                                           PointerRow{1000, 3, 225, 224},
                                           PointerRow{1000, 500, 90, 89},
                                           PointerRow{1000, 1000, -45, -46}));

TEST(PointerAngles, FarPositionsStayInRangeAndKeepTheirWedge) {
  const StepLayout layout = stepLayout(10);
  const PointerAngles angles = pointerAngles(layout, 2000000000);
  EXPECT_EQ(angles.p1 - angles.p2, layout.step);
  EXPECT_LT(angles.p1, -89);
  // Same wedge modulo a full turn as the exact value.
  const long long exact = 238LL - 2000000000LL * 27;
  EXPECT_EQ(((angles.p1 - exact) % 360 + 360) % 360, 0);
}

// The whole-degree polar angle, folded into -89..270, from atan2.
double trueAngle(QPoint centre, QPoint point) {
  double degrees =
      std::atan2(centre.y() - point.y(), point.x() - centre.x()) * 180.0 / std::numbers::pi;
  if (degrees < 0)
    degrees += 360;
  if (std::floor(degrees) > 270)
    degrees -= 360;
  return degrees;
}

TEST(MouseAngle, IsTheWholeDegreeOfThePolarAngle) {
  const QPoint centre(88, 88);
  int checked = 0;
  for (int y = 0; y < 177; ++y)
    for (int x = 0; x < 177; ++x) {
      const QPoint point(x, y);
      if (point == centre)
        continue;
      const double degrees = trueAngle(centre, point);
      const double fraction = degrees - std::floor(degrees);
      if (fraction < 1e-9 || fraction > 1 - 1e-9)
        continue; // exact whole degrees are left to the axis cases
      ASSERT_EQ(mouseAngle(centre, point), static_cast<int>(std::floor(degrees))) << x << "," << y;
      ++checked;
    }
  EXPECT_GT(checked, 30000);
}

TEST(MouseAngle, AxesAndCentre) {
  const QPoint c(88, 88);
  EXPECT_EQ(mouseAngle(c, c), std::nullopt);
  EXPECT_EQ(mouseAngle(c, {88, 40}), 90);
  EXPECT_EQ(mouseAngle(c, {20, 88}), 180);
  EXPECT_EQ(mouseAngle(c, {88, 140}), 270);
  EXPECT_EQ(mouseAngle(c, {140, 88}), 0);
  EXPECT_EQ(mouseAngle(c, {140, 89}), -2); // 358.9 degrees
}

TEST(Ring, SpansHubToKnobRim) {
  // A 177-pixel dial with margin 20: radii 41..61.
  const QPoint c(88, 88);
  struct Row {
    int radius;
    bool in;
  };
  for (const Row row :
       {Row{40, false}, Row{41, true}, Row{51, true}, Row{61, true}, Row{62, false}}) {
    EXPECT_EQ(inRing(c, 20, {88, 88 - row.radius}), row.in) << row.radius;
    EXPECT_EQ(inRing(c, 20, {88 + row.radius, 88}), row.in) << row.radius;
  }
}

struct AngleRow {
  int max;
  int angle;
  std::optional<int> position;
};

class AngleTable : public ::testing::TestWithParam<AngleRow> {};

TEST_P(AngleTable, SelectsTheLowestPositionHoldingTheAngle) {
  const AngleRow row = GetParam();
  EXPECT_EQ(positionAtAngle(stepLayout(row.max), row.angle, row.max), row.position);
}

INSTANTIATE_TEST_SUITE_P(
    Angles, AngleTable,
    ::testing::Values(AngleRow{10, 238, 0}, AngleRow{10, 211, 0}, // shared: the lower wins
                      AngleRow{10, 210, 1}, AngleRow{10, 90, 5}, AngleRow{10, 76, 5},
                      AngleRow{10, -59, 10}, AngleRow{10, -60, std::nullopt}, // gap
                      AngleRow{10, 239, std::nullopt}, AngleRow{10, 270, std::nullopt},
                      AngleRow{0, 90, 0}, AngleRow{0, 270, 0}, AngleRow{0, 89, std::nullopt},
                      AngleRow{137, 90, 68}, AngleRow{137, 159, 0}, AngleRow{137, 21, 137},
                      // 90 ends drawn step 134, whose first position is 497.
                      AngleRow{1000, 90, 497}, AngleRow{1000, -46, 1000}, AngleRow{1000, 225, 0}));

TEST(PositionAtAngle, EveryPositionCanBeReachedByMouse) {
  for (int max = 0; max <= 700; ++max) {
    const StepLayout layout = stepLayout(max);
    std::set<int> reached;
    for (int angle = -89; angle <= 270; ++angle)
      if (const auto position = positionAtAngle(layout, angle, max))
        reached.insert(*position);
    ASSERT_FALSE(reached.empty()) << max;
    EXPECT_EQ(*reached.begin(), 0) << max;
    EXPECT_EQ(*reached.rbegin(), max) << max;
    // Up to 270 every position; beyond, one per drawn step.
    EXPECT_EQ(reached.size(), static_cast<size_t>(std::min(max, kMaxDrawnSteps) + 1)) << max;
  }
}

struct LabelRow {
  int angle;
  QPoint topLeft;
};

class LabelTable : public ::testing::TestWithParam<LabelRow> {};

TEST_P(LabelTable, ShiftsByTheAngleRange) {
  // A 177-pixel dial, tick inset 2 (radius 86), a text of 7 x 10 pixels:
  // 1.5 w = 10.5 rounds to 10 (ties to even), 1.3 h = 13.
  const LabelRow row = GetParam();
  EXPECT_EQ(labelTopLeft({88, 88}, 177, 2, row.angle, {7, 10}), row.topLeft) << row.angle;
}

INSTANTIATE_TEST_SUITE_P(Placement, LabelTable,
                         ::testing::Values(LabelRow{360, {174, 88}}, LabelRow{0, {176, 83}},
                                           LabelRow{50, {142, 4}}, LabelRow{90, {85, -11}},
                                           LabelRow{130, {19, -1}}, LabelRow{180, {-18, 73}},
                                           LabelRow{225, {17, 143}}, LabelRow{270, {78, 169}},
                                           LabelRow{315, {148, 148}}, LabelRow{405, {150, 22}}));

TEST(Rounding, TiesGoToEven) {
  EXPECT_EQ(roundHalfEven(10.5), 10);
  EXPECT_EQ(roundHalfEven(11.5), 12);
  EXPECT_EQ(roundHalfEven(-2.5), -2);
  EXPECT_EQ(roundHalfEven(13.0000001), 13);
  EXPECT_EQ(counterclockwiseSpan(315, 225), 270);
  EXPECT_EQ(counterclockwiseSpan(225, 315), 90);
  EXPECT_EQ(counterclockwiseSpan(-59, -32), 27);
  EXPECT_EQ(counterclockwiseSpan(382, 158), 136);
}

struct TickRow {
  int max;
  int stride;
  std::vector<int> firstSteps; // the first ticked steps from the Max end
  size_t count;
};

class TickTable : public ::testing::TestWithParam<TickRow> {};

// Ticks never come closer than five degrees; the lower-bound end and the Max
// end always carry one.
TEST_P(TickTable, TicksStayApart) {
  const TickRow row = GetParam();
  const StepLayout layout = stepLayout(row.max);
  EXPECT_EQ(tickStride(layout), row.stride);
  const std::vector<int> steps = tickedSteps(layout);
  ASSERT_EQ(steps.size(), row.count);
  EXPECT_EQ(std::vector<int>(steps.begin(), steps.begin() + row.firstSteps.size()), row.firstSteps);
  EXPECT_EQ(steps.back(), layout.drawn);
  for (size_t i = 1; i < steps.size(); ++i)
    EXPECT_GE((steps[i] - steps[i - 1]) * layout.step, kMinTickSpacing / 2.0) << i;
}

// Max 9: 30-degree steps, every one ticked. Max 67: 4-degree steps, every
// other one from the lower-bound end, which leaves one four degrees from the
// Max end. Max 136: 136 one-degree steps, every fifth, the one a degree
// from the Max end left out. Max 270 and beyond: 270 steps, every fifth.
INSTANTIATE_TEST_SUITE_P(Sizes, TickTable,
                         ::testing::Values(TickRow{9, 1, {0, 1, 2}, 10}, TickRow{54, 1, {0, 1}, 55},
                                           TickRow{67, 2, {0, 1, 3}, 35},
                                           TickRow{136, 5, {0, 6, 11}, 28},
                                           TickRow{270, 5, {0, 5, 10}, 55},
                                           TickRow{1999, 5, {0, 5, 10}, 55},
                                           TickRow{99999, 5, {0, 5, 10}, 55}));

} // namespace
