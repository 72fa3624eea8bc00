#include "controls/rotarydialgeometry.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

namespace vantor::dial {
namespace {

constexpr double kDegreesPerRadian = 180.0 / std::numbers::pi;

// Pointer angles far outside any mouse angle are folded by whole turns, so a
// position far beyond the range still draws where it should without overflow.
constexpr std::int64_t kAngleLimit = 360 * 1000;

int foldAngle(std::int64_t angle) {
  if (angle < -kAngleLimit)
    angle += ((-kAngleLimit - angle) / 360 + 1) * 360;
  return static_cast<int>(angle);
}

// Cosine and sine of whole degrees, exact on the axes so that a label on an
// axis does not slip a pixel through a rounding residue.
double cosDegrees(int degrees) {
  switch (((degrees % 360) + 360) % 360) {
  case 0:
    return 1;
  case 90:
  case 270:
    return 0;
  case 180:
    return -1;
  default:
    return std::cos(degrees / kDegreesPerRadian);
  }
}

double sinDegrees(int degrees) {
  return cosDegrees(90 - degrees);
}

} // namespace

int roundHalfEven(double value) {
  // The default floating-point environment rounds to nearest, ties to even.
  return static_cast<int>(std::nearbyint(value));
}

Metrics metricsFor(bool printValues) {
  if (printValues)
    return {30, 25, 15};
  return {20, 13, 2};
}

StepLayout stepLayout(int max, int lower) {
  StepLayout layout{};
  layout.positions = std::max(max - lower, 1);
  layout.drawn = std::min(layout.positions, kMaxDrawnSteps);
  layout.step = 270 / layout.drawn;
  layout.gap = 360 - layout.step * layout.drawn;
  // An even gap centres the scale on 12 o'clock; a one-degree step is kept
  // even when the gap stays odd, as a zero step would freeze the pointer.
  if (layout.gap % 2 != 0 && layout.step > 1) {
    layout.step -= 1;
    layout.gap += layout.drawn;
  }
  layout.a2 = 270 - layout.gap / 2;
  layout.a1 = layout.a2 + layout.gap;
  return layout;
}

int drawnIndex(const StepLayout &layout, int position, int lower) {
  const std::int64_t offset = static_cast<std::int64_t>(position) - lower;
  return static_cast<int>(offset * layout.drawn / layout.positions);
}

int firstPositionOf(const StepLayout &layout, int index, int lower) {
  const std::int64_t scaled = static_cast<std::int64_t>(index) * layout.positions;
  return static_cast<int>(lower + (scaled + layout.drawn - 1) / layout.drawn);
}

PointerAngles pointerAngles(const StepLayout &layout, int position, int lower) {
  const std::int64_t index = drawnIndex(layout, position, lower);
  const std::int64_t p1 =
      static_cast<std::int64_t>(layout.a2) + layout.step / 2 - index * layout.step;
  const int folded = foldAngle(p1);
  return {folded, folded - layout.step};
}

std::optional<int> mouseAngle(QPoint centre, QPoint point) {
  if (point == centre)
    return std::nullopt;
  const int x = point.x(), y = point.y(), cx = centre.x(), cy = centre.y();
  const double dx = cx - x;
  const double dy = cy - y;
  const double distance = std::sqrt(dx * dx + dy * dy);
  int quadrant = 0;
  if (x <= cx && y < cy)
    quadrant = 90;
  else if (x < cx && y >= cy)
    quadrant = 180;
  else if (x >= cx && y > cy)
    quadrant = 270;
  const double ratio =
      (quadrant == 0 || quadrant == 180) ? std::abs(dy) / distance : std::abs(dx) / distance;
  int angle = static_cast<int>(quadrant + std::asin(ratio) * kDegreesPerRadian);
  if (angle > 270)
    angle -= 360;
  return angle;
}

bool inRing(QPoint centre, int margin, QPoint point) {
  const double dx = centre.x() - point.x();
  const double dy = centre.y() - point.y();
  const double distance = std::sqrt(dx * dx + dy * dy);
  return centre.x() - margin - 27 <= distance && distance <= centre.x() - margin - 7;
}

std::optional<int> positionAtAngle(const StepLayout &layout, int angle, int max, int lower) {
  const int last = drawnIndex(layout, max, lower);
  for (int index = 0; index <= last; ++index) {
    const int p1 = layout.a2 + layout.step / 2 - index * layout.step;
    if (PointerAngles{p1, p1 - layout.step}.contains(angle))
      return firstPositionOf(layout, index, lower);
  }
  return std::nullopt;
}

int tickStride(const StepLayout &layout) {
  return (kMinTickSpacing + layout.step - 1) / layout.step;
}

std::vector<int> tickedSteps(const StepLayout &layout) {
  const int stride = tickStride(layout);
  std::vector<int> steps{0};
  // Counted from the lower-bound end, so position 0 always has its tick.
  for (int k = layout.drawn % stride; k <= layout.drawn; k += stride)
    if (k > 0 && 2 * k >= stride)
      steps.push_back(k);
  return steps;
}

PointerAngles drawnPointer(const PointerAngles &pointer) {
  const int extra = kMinPointerWidth - (pointer.p1 - pointer.p2);
  if (extra <= 0)
    return pointer;
  return {pointer.p1 + extra - extra / 2, pointer.p2 - extra / 2};
}

int counterclockwiseSpan(int from, int to) {
  return ((to - from) % 360 + 360) % 360;
}

QPoint labelTopLeft(QPoint centre, int width, int tickInset, int angle, QSize text) {
  if (angle > 360)
    angle -= 360;
  const int radius = width / 2 - tickInset;
  int x = static_cast<int>(centre.x() + radius * cosDegrees(angle));
  int y = static_cast<int>(centre.y() - radius * sinDegrees(angle));
  const int w = text.width(), h = text.height();
  // The ranges share their end angles; a label on a shared end gets both shifts.
  if (angle >= 130 && angle <= 180) {
    x -= roundHalfEven(1.5 * w);
    y -= h;
  }
  if (angle >= 180 && angle <= 270) {
    x -= roundHalfEven(1.5 * w);
    y -= h / 2;
  }
  if (angle >= 0 && angle <= 50) {
    x += w / 3;
    y -= h / 2;
  }
  if (angle >= 50 && angle <= 130) {
    x -= w / 2;
    y -= roundHalfEven(1.3 * h);
  }
  return {x, y};
}

} // namespace vantor::dial
