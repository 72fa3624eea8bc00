#pragma once

#include <QList>
#include <QPoint>
#include <QRect>

namespace vantor {

// Where a window whose outer rectangle is `frame` should stand so that the
// user can reach it on `screens` (their work areas). It stays where it is
// when at least half of it and its top edge lie on one screen; otherwise it
// moves wholly onto the nearest screen, its top-left corner first when it is
// bigger than that screen. Without screens it stays where it is.
QPoint reachablePosition(const QRect &frame, const QList<QRect> &screens);

} // namespace vantor
