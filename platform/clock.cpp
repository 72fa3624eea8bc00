#include "platform/clock.h"

#include <QCursor>
#include <QElapsedTimer>

namespace vantor::platform {
namespace {

TickSource &tickOverride() {
  static TickSource source;
  return source;
}

CursorSource &cursorOverride() {
  static CursorSource source;
  return source;
}

std::uint32_t systemTick() {
  static QElapsedTimer timer = [] {
    QElapsedTimer t;
    t.start();
    return t;
  }();
  return static_cast<std::uint32_t>(timer.elapsed());
}

} // namespace

std::uint32_t tickCount() {
  return tickOverride() ? tickOverride()() : systemTick();
}

QPoint cursorPos() {
  return cursorOverride() ? cursorOverride()() : QCursor::pos();
}

void setTickSource(TickSource source) {
  tickOverride() = std::move(source);
}

void setCursorSource(CursorSource source) {
  cursorOverride() = std::move(source);
}

} // namespace vantor::platform
