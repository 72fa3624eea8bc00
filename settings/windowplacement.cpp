#include "settings/windowplacement.h"

#include "settings/windowplacementgeometry.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <cmath>

namespace vantor {
namespace {

std::function<ScreenMetrics()> &screenSource() {
  static std::function<ScreenMetrics()> source;
  return source;
}

constexpr Qt::WindowStates kSizeStates =
    Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen;

Qt::WindowStates stateFor(int showCmd) {
  switch (showCmd) {
  case SwShowMinimized:
    return Qt::WindowMinimized;
  case SwShowMaximized:
    return Qt::WindowMaximized;
  default:
    return Qt::WindowNoState;
  }
}

// Left, top, right and bottom widths of the frame around the client area.
QMargins frameMargins(const QWidget *window) {
  const QRect inner = window->geometry();
  const QRect outer = window->frameGeometry();
  return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
          outer.bottom() - inner.bottom()};
}

} // namespace

ScreenMetrics currentScreen() {
  if (screenSource())
    return screenSource()();
  ScreenMetrics metrics;
  if (const QScreen *screen = QGuiApplication::primaryScreen()) {
    metrics.size = screen->geometry().size();
    metrics.pixelsPerInch = static_cast<int>(std::lround(screen->logicalDotsPerInch()));
    metrics.areas << screen->availableGeometry();
  }
  for (const QScreen *screen : QGuiApplication::screens())
    if (screen != QGuiApplication::primaryScreen())
      metrics.areas << screen->availableGeometry();
  return metrics;
}

QList<QRect> screenAreas(const ScreenMetrics &screen) {
  if (!screen.areas.isEmpty())
    return screen.areas;
  if (screen.size.isEmpty())
    return {};
  return {QRect(QPoint(0, 0), screen.size)};
}

void setScreenSource(std::function<ScreenMetrics()> source) {
  screenSource() = std::move(source);
}

bool WindowPlacer::isBorderless() const {
  return window_->windowFlags().testFlag(Qt::FramelessWindowHint);
}

bool WindowPlacer::isSizeable() const {
  return !isBorderless() && window_->minimumSize() != window_->maximumSize();
}

WindowPlacement WindowPlacer::placement() const {
  WindowPlacement p;
  const Qt::WindowStates state = window_->windowState();
  if (state.testFlag(Qt::WindowMinimized)) {
    p.showCmd = SwShowMinimized;
    if (state.testFlag(Qt::WindowMaximized))
      p.flags |= WpfRestoreToMaximized;
  } else if (state & (Qt::WindowMaximized | Qt::WindowFullScreen)) {
    p.showCmd = SwShowMaximized;
  }
  p.minPosition = minPosition_;
  p.maxPosition = maxPosition_;
  QRect outer;
  if (state & kSizeStates) {
    const QRect inner = window_->normalGeometry();
    outer = inner.marginsAdded(frameMargins(window_));
  } else {
    outer = QRect(window_->pos(), window_->frameGeometry().size());
  }
  p.normal = {outer.left(), outer.top(), outer.left() + outer.width(),
              outer.top() + outer.height()};
  return p;
}

void WindowPlacer::setPlacement(const WindowPlacement &placement) {
  minPosition_ = placement.minPosition;
  maxPosition_ = placement.maxPosition;
  const Qt::WindowStates before = window_->windowState();
  // Qt moves only a window in its normal state; the others get their normal
  // rectangle by a short return to it.
  if (before & kSizeStates)
    window_->setWindowState(before & ~kSizeStates);
  const TRect &n = placement.normal;
  const bool sizeable = isSizeable();
  const QSize outer =
      sizeable ? QSize(n.Right - n.Left, n.Bottom - n.Top) : window_->frameGeometry().size();
  // A place stored on another desktop, or at another scale, may lie beyond
  // this one's screens.
  window_->move(
      reachablePosition(QRect(QPoint(n.Left, n.Top), outer), screenAreas(currentScreen())));
  if (sizeable) {
    const QMargins m = frameMargins(window_);
    window_->resize(outer.width() - m.left() - m.right(), outer.height() - m.top() - m.bottom());
  }
  if (before & kSizeStates)
    window_->setWindowState(before);
  if (placement.showCmd != SwHide) {
    setState(placement.showCmd);
    if (placement.showCmd == SwShowMinimized && (placement.flags & WpfRestoreToMaximized))
      window_->setWindowState(window_->windowState() | Qt::WindowMaximized);
  }
}

void WindowPlacer::keepOnScreen() {
  if (window_->windowState() & kSizeStates)
    return;
  const QRect frame(window_->pos(), window_->frameGeometry().size());
  const QPoint onScreen = reachablePosition(frame, screenAreas(currentScreen()));
  if (onScreen != frame.topLeft())
    window_->move(onScreen);
}

void WindowPlacer::setState(int showCmd) {
  const Qt::WindowStates state = (window_->windowState() & ~kSizeStates) | stateFor(showCmd);
  if (state != window_->windowState())
    window_->setWindowState(state);
}

void WindowPlacer::adjustMaxPosition() {
  if (isBorderless()) {
    maxPosition_ = {0, 0};
    return;
  }
  const QMargins m = frameMargins(window_);
  maxPosition_ = {-m.left(), -m.top()};
}

} // namespace vantor
