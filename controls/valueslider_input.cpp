#include "controls/valueslider.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <optional>

// Mouse and keyboard handling of the value slider.

namespace vantor {

// --- mouse and keys -----------------------------------------------------

TCustomValueSlider::Side TCustomValueSlider::hitSide(QPoint p) const {
  if (!vertical()) {
    if (p.x() < thumbRect_.Left)
      return Side::Down;
    if (p.x() > thumbRect_.Right)
      return Side::Up;
  } else {
    if (p.y() < thumbRect_.Top)
      return Side::Up;
    if (p.y() > thumbRect_.Bottom)
      return Side::Down;
  }
  return Side::None;
}

void TCustomValueSlider::mousePressEvent(QMouseEvent *event) {
  if (event->button() != Qt::LeftButton)
    return;
  if (isEnabled() && focusPolicy() != Qt::NoFocus)
    setFocus(Qt::MouseFocusReason);
  const QPoint p = event->position().toPoint();
  if (thumbRect_.containsClosed(p.x(), p.y())) {
    PressThumb(event->button(), p.x(), p.y());
    return;
  }
  TRect area{rulerPos_.x(), rulerPos_.y(), rulerPos_.x() + ruler_.width(),
             rulerPos_.y() + ruler_.height()};
  if (vertical()) {
    area.Left -= 3;
    area.Right += 3;
  } else {
    area.Top -= 3;
    area.Bottom += 3;
  }
  if (area.containsClosed(p.x(), p.y())) {
    repeating_ = true;
    lastMouse_ = p;
    repeatDirection_ = hitSide(p);
    repeatStep();
  }
}

void TCustomValueSlider::mouseDoubleClickEvent(QMouseEvent *) {
  // A press carrying the double-click flag starts nothing.
}

void TCustomValueSlider::mouseMoveEvent(QMouseEvent *event) {
  const QPoint p = event->position().toPoint();
  if (thumbRect_.containsOpen(p.x(), p.y()))
    setCursor(Qt::PointingHandCursor);
  else
    unsetCursor();
  if (repeating_) {
    lastMouse_ = p;
    return;
  }
  if ((event->buttons() & Qt::LeftButton) && tracking_)
    DragThumb(p.x(), p.y());
}

void TCustomValueSlider::mouseReleaseEvent(QMouseEvent *event) {
  if (repeating_)
    stopRepeating();
  if (tracking_)
    ReleaseThumb(event->button());
}

void TCustomValueSlider::PressThumb(Qt::MouseButton button, int x, int y) {
  if (isEnabled() && focusPolicy() != Qt::NoFocus)
    setFocus(Qt::MouseFocusReason);
  if (button != Qt::LeftButton)
    return;
  tracking_ = true;
  pressed_ = true;
  dragOffset_ = vertical() ? y - thumbRect_.Top : x - thumbRect_.Left;
  invalidateThumb();
  if (isVisible())
    repaint(thumbRect_.toQRect());
}

void TCustomValueSlider::DragThumb(int x, int y) {
  moveThumb((vertical() ? y : x) - dragOffset_);
}

void TCustomValueSlider::ReleaseThumb(Qt::MouseButton button) {
  if (button != Qt::LeftButton)
    return;
  tracking_ = false;
  pressed_ = false;
  invalidateThumb();
  if (isVisible())
    repaint(thumbRect_.toQRect());
  NotifyChanged();
}

void TCustomValueSlider::stopRepeating() {
  repeating_ = false;
  repeatTimer_.stop();
  NotifyChanged();
}

void TCustomValueSlider::repeatStep() {
  if (repeatDirection_ == Side::None || hitSide(lastMouse_) != repeatDirection_)
    return; // the thumb has reached the mouse
  stepValue(repeatDirection_ == Side::Up ? StepKind::Up : StepKind::Down);
  if (!repeatTimer_.isActive())
    repeatTimer_.start();
}

void TCustomValueSlider::stepValue(StepKind kind) {
  std::int64_t target = value_;
  const std::int64_t grid = slider::roundDiv(value_, increment_) * increment_;
  switch (kind) {
  case StepKind::Lower:
    target = min_;
    break;
  case StepKind::Upper:
    target = max_;
    break;
  case StepKind::Up:
    target = grid + increment_;
    break;
  case StepKind::Down:
    target = grid - increment_;
    break;
  }
  const int clamped = slider::clampToRange(target, min_, max_);
  if (clamped != value_)
    setValue(clamped);
}

void TCustomValueSlider::keyPressEvent(QKeyEvent *event) {
  constexpr Qt::KeyboardModifiers held = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;
  if (!(event->modifiers() & held)) {
    std::optional<StepKind> kind;
    switch (event->key()) {
    case Qt::Key_Home:
      kind = StepKind::Lower;
      break;
    case Qt::Key_End:
      kind = StepKind::Upper;
      break;
    case Qt::Key_Left:
      if (!vertical())
        kind = StepKind::Down;
      break;
    case Qt::Key_Right:
      if (!vertical())
        kind = StepKind::Up;
      break;
    case Qt::Key_Up:
      if (vertical())
        kind = StepKind::Up;
      break;
    case Qt::Key_Down:
      if (vertical())
        kind = StepKind::Down;
      break;
    default:
      break;
    }
    if (kind) {
      event->accept();
      stepValue(*kind);
      NotifyChanged();
      return;
    }
  }
  QWidget::keyPressEvent(event);
}

} // namespace vantor
