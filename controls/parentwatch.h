#pragma once

#include <QPointer>
#include <QWidget>

namespace vantor {

// Moves `control`'s watch to its current parent: a control docked to its
// parent follows the parent's resizes through its own event filter.
inline void watchParent(QWidget *control, QPointer<QWidget> &watched) {
  QWidget *parent = control->parentWidget();
  if (watched == parent)
    return;
  if (watched)
    watched->removeEventFilter(control);
  watched = parent;
  if (parent)
    parent->installEventFilter(control);
}

} // namespace vantor
