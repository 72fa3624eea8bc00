#pragma once

#include <QPointer>
#include <QWidget>

namespace vantor {

// Moving a borderless window by dragging its background: the window follows
// the pointer once it has moved more than five pixels from the press point,
// so the press point stays under the pointer. One per window.
class WindowDrag final {
public:
  static constexpr int kSlack = 5;

  // A press of any button on `control`, at (x, y) in its coordinates.
  void press(QWidget *control, int x, int y);
  void move(QWidget *control, int x, int y);
  void release() { dragging_ = false; }

  bool dragging() const { return dragging_; }

private:
  bool dragging_ = false;
  QPointer<QWidget> target_;
  int pressX_ = 0;
  int pressY_ = 0;
};

} // namespace vantor
