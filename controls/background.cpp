#include "controls/background.h"

#include "controls/background_paint.h"
#include "controls/parentwatch.h"
#include "platform/handlerguard.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace vantor {

TBackground::TBackground(QWidget *parent) : QWidget(parent) {
  resize(144, 144);
  watchParent(this, watchedParent_);
}

void TBackground::setBackStyle(TBackStyle style) {
  style_ = style;
  update();
}

void TBackground::setColor1(TColor color) {
  color1_ = color;
  update();
}

void TBackground::setColor2(TColor color) {
  color2_ = color;
  update();
}

void TBackground::setPicture(const QImage &picture) {
  if (&picture == &picture_)
    return;
  picture_ = picture.copy();
  tile_ = QPixmap::fromImage(picture_);
  repaint();
}

void TBackground::setAlign(TAlign align) {
  if (align == align_)
    return;
  align_ = align;
  followParent();
}

void TBackground::paintEvent(QPaintEvent *event) {
  const QRect area = event->rect();
  QPainter painter(this);
  switch (style_) {
  case bgSingleColor:
    painter.fillRect(area, toQColor(color1_ & 0xFFFFFFu));
    break;
  case bgSmooth:
    paintSmooth(painter, area);
    break;
  case bgSingleBitmap:
    paintSingleBitmap(painter, area);
    break;
  case bgTileBitmap:
    paintTiles(painter, area);
    break;
  }
}

void TBackground::paintSmooth(QPainter &painter, const QRect &area) const {
  // One line per row of the area; each row's colour depends only on its
  // position, so partial repaints join the rest without seams.
  for (int y = area.top(); y <= area.bottom(); ++y) {
    const TColor row = gradientRowColor(color1_, color2_, height(), y);
    painter.fillRect(QRect(area.left(), y, area.width(), 1), toQColor(row));
  }
}

void TBackground::paintSingleBitmap(QPainter &painter, const QRect &area) const {
  const QRect inside = area.intersected(picture_.rect());
  if (!inside.isEmpty())
    painter.drawPixmap(inside.topLeft(), tile_, inside);
  // Beyond the picture there is nothing to copy; the first colour shows there.
  const QRegion beyond = QRegion(area).subtracted(QRegion(picture_.rect()));
  for (const QRect &rect : beyond)
    painter.fillRect(rect, toQColor(color1_ & 0xFFFFFFu));
}

void TBackground::paintTiles(QPainter &painter, const QRect &area) const {
  for (const TilePiece &piece : tilePieces(area, picture_.size()))
    painter.drawPixmap(piece.target, tile_, piece.source);
}

void TBackground::mousePressEvent(QMouseEvent *event) {
  if (event->button() == Qt::LeftButton)
    clicked_ = true;
  const QPoint pos = event->position().toPoint();
  callHandler(OnMouseDown, this, event->button(), event->modifiers(), pos.x(), pos.y());
}

void TBackground::mouseDoubleClickEvent(QMouseEvent *event) {
  if (event->button() == Qt::LeftButton)
    callHandler(OnDblClick, this);
  const QPoint pos = event->position().toPoint();
  callHandler(OnMouseDown, this, event->button(), event->modifiers(), pos.x(), pos.y());
}

void TBackground::mouseMoveEvent(QMouseEvent *event) {
  const QPoint pos = event->position().toPoint();
  callHandler(OnMouseMove, this, event->modifiers(), pos.x(), pos.y());
}

void TBackground::mouseReleaseEvent(QMouseEvent *event) {
  const QPoint pos = event->position().toPoint();
  if (event->button() == Qt::LeftButton && clicked_) {
    clicked_ = false;
    if (rect().contains(pos))
      callHandler(OnClick, this);
  }
  callHandler(OnMouseUp, this, event->button(), event->modifiers(), pos.x(), pos.y());
}

bool TBackground::eventFilter(QObject *watched, QEvent *event) {
  if (watched == watchedParent_ && event->type() == QEvent::Resize)
    followParent();
  return QWidget::eventFilter(watched, event);
}

void TBackground::changeEvent(QEvent *event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::ParentChange) {
    watchParent(this, watchedParent_);
    followParent();
  }
}

void TBackground::followParent() {
  if (align_ == alClient && parentWidget())
    setGeometry(parentWidget()->rect());
}

} // namespace vantor
