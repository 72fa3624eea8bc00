#pragma once

#include <QList>
#include <QPoint>
#include <QRect>

namespace vantor {

// Where a window whose outer rectangle is `frame` should stand so that it
// lies wholly on one of `screens` (their work areas). It stays where it is
// when it already does; otherwise it moves, as little as it must, onto the
// screen it overlaps most (or the nearest one), its top-left corner first
// when it is bigger than that screen. Without screens it stays where it is.
QPoint reachablePosition(const QRect &frame, const QList<QRect> &screens);

} // namespace vantor
