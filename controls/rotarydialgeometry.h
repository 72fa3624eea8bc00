#pragma once

#include <QPoint>
#include <QSize>
#include <optional>
#include <vector>

// Integer geometry of the rotary dial, free of any widget so it can be tested
// on its own. Angles are whole degrees counterclockwise from 3 o'clock.
namespace vantor::dial {

// Nearest integer, ties to even.
int roundHalfEven(double value);

// Margin M, scale inset S and tick inset T of one layout.
struct Metrics {
  int margin;
  int scaleInset;
  int tickInset;
};
Metrics metricsFor(bool printValues);

// A scale never holds more than this many drawn steps; larger ranges share
// drawn steps between neighbouring positions.
constexpr int kMaxDrawnSteps = 270;

struct StepLayout {
  int positions; // N: steps of the value range (1 when the range is empty)
  int drawn;     // steps on the scale: N, at most kMaxDrawnSteps
  int step;      // degrees per drawn step, never 0
  int gap;       // degrees of the empty sector at 6 o'clock
  int a1;        // the Max end of the scale (lower right)
  int a2;        // the lower-bound end (lower left)
};
StepLayout stepLayout(int max, int lower = 0);

// The drawn step a position sits on, and the first position on a drawn step.
int drawnIndex(const StepLayout &layout, int position, int lower = 0);
int firstPositionOf(const StepLayout &layout, int index, int lower = 0);

// The pointer wedge of a position runs counterclockwise from p2 to p1.
struct PointerAngles {
  int p1;
  int p2;
  bool contains(int angle) const { return p2 <= angle && angle <= p1; }
};
PointerAngles pointerAngles(const StepLayout &layout, int position, int lower = 0);

// The whole-degree polar angle of a point, folded into -89..270; none at the
// centre itself.
std::optional<int> mouseAngle(QPoint centre, QPoint point);

// Between the hub and the rim of the knob face.
bool inRing(QPoint centre, int margin, QPoint point);

// The lowest position whose pointer wedge holds the angle; none in the gap.
std::optional<int> positionAtAngle(const StepLayout &layout, int angle, int max, int lower = 0);

// Ticks closer than this many degrees merge into a band on a dial of
// ordinary size; a finer scale ticks only every few drawn steps.
constexpr int kMinTickSpacing = 5;

// Drawn steps between two ticks: 1 while steps are kMinTickSpacing degrees
// or wider, else the fewest steps that span that much.
int tickStride(const StepLayout &layout);

// The scale's ticks as drawn-step counts k from the Max end (angle
// a1 + k * step), ascending: the Max end, then every tickStride-th step
// counted from the lower-bound end (k = drawn, which is always included). A
// tick closer to the Max end than half a stride is left out.
std::vector<int> tickedSteps(const StepLayout &layout);

// However many positions share the scale, the pointer is drawn at least this
// many degrees wide, so it stays as easy to see and grab as on a short scale.
constexpr int kMinPointerWidth = 10;

// The wedge drawn (and grabbed) for a pointer: the pointer itself, or one
// kMinPointerWidth degrees wide about the same middle when it is narrower.
PointerAngles drawnPointer(const PointerAngles &pointer);

// Degrees from `from` counterclockwise to `to`, in 0..359 (0: a full turn).
int counterclockwiseSpan(int from, int to);

// Top-left corner of a scale label at `angle`, for a dial of `width`.
QPoint labelTopLeft(QPoint centre, int width, int tickInset, int angle, QSize text);

} // namespace vantor::dial
