#include "settings/windowplacementgeometry.h"

#include <algorithm>

namespace vantor {
namespace {

qint64 area(const QRect &r) {
  return r.isEmpty() ? 0 : qint64(r.width()) * r.height();
}

// Squared gap between two rectangles; 0 when they touch or overlap.
qint64 gapSquared(const QRect &a, const QRect &b) {
  const qint64 dx = std::max<qint64>(
      {0, qint64(b.x()) - (a.x() + a.width()), qint64(a.x()) - (b.x() + b.width())});
  const qint64 dy = std::max<qint64>(
      {0, qint64(b.y()) - (a.y() + a.height()), qint64(a.y()) - (b.y() + b.height())});
  return dx * dx + dy * dy;
}

// The screen most of the window lies on, or the closest one when it lies on none.
const QRect &nearestScreen(const QRect &frame, const QList<QRect> &screens) {
  const QRect *best = &screens.front();
  qint64 bestOverlap = -1, bestGap = 0;
  for (const QRect &screen : screens) {
    const qint64 overlap = area(frame & screen);
    const qint64 gap = gapSquared(frame, screen);
    if (overlap > bestOverlap || (overlap == 0 && bestOverlap == 0 && gap < bestGap)) {
      best = &screen;
      bestOverlap = overlap;
      bestGap = gap;
    }
  }
  return *best;
}

int placeAlong(int at, int length, int screenAt, int screenLength) {
  if (length >= screenLength)
    return screenAt;
  return std::clamp(at, screenAt, screenAt + screenLength - length);
}

} // namespace

QPoint reachablePosition(const QRect &frame, const QList<QRect> &screens) {
  if (screens.isEmpty())
    return frame.topLeft();
  for (const QRect &screen : screens)
    if (screen.contains(frame))
      return frame.topLeft();
  const QRect &screen = nearestScreen(frame, screens);
  return {placeAlong(frame.x(), frame.width(), screen.x(), screen.width()),
          placeAlong(frame.y(), frame.height(), screen.y(), screen.height())};
}

} // namespace vantor
