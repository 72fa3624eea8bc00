#include "controls/windowdrag.h"

#include <QApplication>

#include <cstdlib>

namespace vantor {

void WindowDrag::press(QWidget *control, int x, int y) {
  dragging_ = true;
  // The window that was active at the press; without one, the control's own.
  target_ = QApplication::activeWindow() ? QApplication::activeWindow() : control->window();
  pressX_ = x;
  pressY_ = y;
}

void WindowDrag::move(QWidget *control, int x, int y) {
  if (!dragging_ || !target_)
    return;
  if (std::abs(x - pressX_) <= kSlack && std::abs(y - pressY_) <= kSlack)
    return;
  // The background sits at the window's client origin: its coordinates are the window's.
  const QPoint screen = control->window()->mapToGlobal(QPoint(x, y));
  target_->move(screen.x() - pressX_, screen.y() - pressY_);
}

} // namespace vantor
