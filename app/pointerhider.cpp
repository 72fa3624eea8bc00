#include "app/pointerhider.h"

#include "platform/clock.h"
#include "platform/handlerguard.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMouseEvent>

namespace vantor {

PointerHider::PointerHider() {
  idle_.setSingleShot(true);
  connect(&idle_, &QTimer::timeout, this, [this] { runGuarded([this] { hideIfIdle(); }); });
  QCoreApplication::instance()->installEventFilter(this);
  hide();
}

PointerHider::~PointerHider() {
  QCoreApplication::instance()->removeEventFilter(this);
  show();
}

void PointerHider::hide() {
  if (hidden_)
    return;
  QGuiApplication::setOverrideCursor(Qt::BlankCursor);
  hiddenAt_ = platform::cursorPos();
  hidden_ = true;
}

void PointerHider::show() {
  if (!hidden_)
    return;
  QGuiApplication::restoreOverrideCursor();
  hidden_ = false;
}

void PointerHider::hideIfIdle() {
  const std::uint32_t still = platform::tickCount() - lastMove_;
  if (still >= std::uint32_t(kIdleHide))
    hide();
  else
    idle_.start(int(std::uint32_t(kIdleHide) - still));
}

bool PointerHider::eventFilter(QObject *watched, QEvent *event) {
  // Every move reaches the window it is over first, whatever its widgets
  // track. A window coming up under a still pointer is no move.
  if (event->type() == QEvent::MouseMove && watched->isWindowType() &&
      static_cast<QMouseEvent *>(event)->globalPosition().toPoint() != hiddenAt_) {
    hiddenAt_ = QPoint(-1, -1);
    lastMove_ = platform::tickCount();
    show();
    if (!idle_.isActive())
      idle_.start(kIdleHide);
  }
  return QObject::eventFilter(watched, event);
}

} // namespace vantor
