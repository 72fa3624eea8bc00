#include "background.h"

#include "controls/background_paint.h"
#include "platform/handlerguard.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace vantor {

TBackground::TBackground(QWidget *parent) : QWidget(parent) {
  resize(144, 144);
  watchParent();
}

void TBackground::setBackStyle(TBackStyle style) {
  m_style = style;
  update();
}

void TBackground::setColor1(TColor color) {
  m_color1 = color;
  update();
}

void TBackground::setColor2(TColor color) {
  m_color2 = color;
  update();
}

void TBackground::setPicture(const QImage &picture) {
  if (&picture == &m_picture)
    return;
  m_picture = picture.copy();
  m_tile = QPixmap::fromImage(m_picture);
  repaint();
}

void TBackground::setAlign(TAlign align) {
  if (align == m_align)
    return;
  m_align = align;
  followParent();
}

void TBackground::paintEvent(QPaintEvent *event) {
  const QRect area = event->rect();
  QPainter painter(this);
  switch (m_style) {
  case bgSingleColor:
    painter.fillRect(area, toQColor(m_color1 & 0xFFFFFFu));
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
    const TColor row = gradientRowColor(m_color1, m_color2, height(), y);
    painter.fillRect(QRect(area.left(), y, area.width(), 1), toQColor(row));
  }
}

void TBackground::paintSingleBitmap(QPainter &painter, const QRect &area) const {
  const QRect inside = area.intersected(m_picture.rect());
  if (!inside.isEmpty())
    painter.drawPixmap(inside.topLeft(), m_tile, inside);
  // Beyond the picture there is nothing to copy; the first colour shows there.
  const QRegion beyond = QRegion(area).subtracted(QRegion(m_picture.rect()));
  for (const QRect &rect : beyond)
    painter.fillRect(rect, toQColor(m_color1 & 0xFFFFFFu));
}

void TBackground::paintTiles(QPainter &painter, const QRect &area) const {
  for (const TilePiece &piece : tilePieces(area, m_picture.size()))
    painter.drawPixmap(piece.target, m_tile, piece.source);
}

void TBackground::mousePressEvent(QMouseEvent *event) {
  if (event->button() == Qt::LeftButton)
    m_clicked = true;
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
  if (event->button() == Qt::LeftButton && m_clicked) {
    m_clicked = false;
    if (rect().contains(pos))
      callHandler(OnClick, this);
  }
  callHandler(OnMouseUp, this, event->button(), event->modifiers(), pos.x(), pos.y());
}

bool TBackground::eventFilter(QObject *watched, QEvent *event) {
  if (watched == m_watchedParent && event->type() == QEvent::Resize)
    followParent();
  return QWidget::eventFilter(watched, event);
}

void TBackground::changeEvent(QEvent *event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::ParentChange) {
    watchParent();
    followParent();
  }
}

void TBackground::watchParent() {
  if (m_watchedParent)
    m_watchedParent->removeEventFilter(this);
  m_watchedParent = parentWidget();
  if (m_watchedParent)
    m_watchedParent->installEventFilter(this);
}

void TBackground::followParent() {
  if (m_align == alClient && parentWidget())
    setGeometry(parentWidget()->rect());
}

} // namespace vantor
