#include "controls/image.h"

#include "controls/background.h"
#include "controls/parentwatch.h"
#include "controls/shadowlabel.h"
#include "platform/handlerguard.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

namespace vantor {

TImage::TImage(QWidget *parent) : QWidget(parent) {
  setFocusPolicy(Qt::NoFocus);
  resize(105, 105);
  watchParent(this, watchedParent_);
}

void TImage::setPicture(const QImage &picture) {
  if (&picture == &picture_)
    return;
  picture_ = picture;
  pixmap_ = picture_.isNull() ? QPixmap() : QPixmap::fromImage(picture_);
  adjustGeometry();
  update();
  emit pictureChanged();
}

void TImage::setStretch(bool stretch) {
  if (stretch == stretch_)
    return;
  stretch_ = stretch;
  update();
}

void TImage::setAutoSize(bool autoSize) {
  if (autoSize == autoSize_)
    return;
  autoSize_ = autoSize;
  adjustGeometry();
}

void TImage::setAlign(TAlign align) {
  if (align == align_)
    return;
  align_ = align;
  adjustGeometry();
}

QSize TImage::sizeHint() const {
  return picture_.isNull() ? QSize(105, 105) : picture_.size();
}

void TImage::adjustGeometry() {
  if (align_ == alClient && parentWidget())
    setGeometry(parentWidget()->rect());
  else if (autoSize_ && !picture_.isNull())
    resize(picture_.size());
}

bool TImage::eventFilter(QObject *watched, QEvent *event) {
  if (watched == watchedParent_ && event->type() == QEvent::Resize && align_ == alClient)
    adjustGeometry();
  return QWidget::eventFilter(watched, event);
}

bool TImage::event(QEvent *event) {
  if (event->type() == QEvent::ParentChange) {
    watchParent(this, watchedParent_);
    adjustGeometry();
  }
  return QWidget::event(event);
}

void TImage::paintEvent(QPaintEvent *) {
  if (pixmap_.isNull())
    return;
  QPainter painter(this);
  if (stretch_)
    painter.drawPixmap(rect(), pixmap_);
  else
    painter.drawPixmap(0, 0, pixmap_);
}

// The kit's painted controls: what a hit test over a form's surface finds,
// as opposed to windowed controls such as buttons, dials and edits.
bool isLightweight(const QWidget *w) {
  return qobject_cast<const TImage *>(w) || qobject_cast<const TShadowLabel *>(w) ||
         qobject_cast<const TBackground *>(w) || qobject_cast<const QLabel *>(w);
}

QWidget *lightweightChildAt(const QWidget *parent, QPoint point, const QWidget *except) {
  const QObjectList &children = parent->children();
  for (auto it = children.crbegin(); it != children.crend(); ++it) {
    auto *w = qobject_cast<QWidget *>(*it);
    if (!w || w == except || w->isWindow() || w->isHidden() || !isLightweight(w))
      continue;
    if (w->geometry().contains(point))
      return w;
  }
  return nullptr;
}

void TImage::mousePressEvent(QMouseEvent *event) {
  pressed_ = event->button() == Qt::LeftButton;
  const QPoint p = event->position().toPoint();
  callHandler(OnMouseDown, this, event->button(), event->modifiers(), p.x(), p.y());
}

void TImage::mouseMoveEvent(QMouseEvent *event) {
  const QPoint p = event->position().toPoint();
  callHandler(OnMouseMove, this, event->modifiers(), p.x(), p.y());
}

void TImage::mouseReleaseEvent(QMouseEvent *event) {
  const bool click =
      pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
  if (event->button() == Qt::LeftButton)
    pressed_ = false;
  if (click)
    callHandler(OnClick, this);
  const QPoint p = event->position().toPoint();
  callHandler(OnMouseUp, this, event->button(), event->modifiers(), p.x(), p.y());
}

void TImage::mouseDoubleClickEvent(QMouseEvent *event) {
  if (event->button() == Qt::LeftButton)
    callHandler(OnDblClick, this);
  mousePressEvent(event);
}

} // namespace vantor
