#pragma once

#include "controls/colors.h"
#include "platform/events.h"

#include <QImage>
#include <QPixmap>
#include <QPointer>
#include <QWidget>

namespace vantor {

// A decorative panel: one colour, a vertical gradient, one picture at its
// natural size, or the picture tiled from the top-left corner. Mouse events
// are passed on so a borderless window can drag itself by its background.
class TBackground final : public QWidget {
  Q_OBJECT
  Q_PROPERTY(TBackStyle BackStyle READ backStyle WRITE setBackStyle)
  Q_PROPERTY(vantor::TColor Color1 READ color1 WRITE setColor1)
  Q_PROPERTY(vantor::TColor Color2 READ color2 WRITE setColor2)
  Q_PROPERTY(QImage Picture READ picture WRITE setPicture)
  Q_PROPERTY(TAlign Align READ align WRITE setAlign)

public:
  enum TBackStyle { bgSingleColor, bgSmooth, bgSingleBitmap, bgTileBitmap };
  Q_ENUM(TBackStyle)
  // alClient keeps the panel covering its parent's whole client area.
  enum TAlign { alNone, alClient };
  Q_ENUM(TAlign)

  explicit TBackground(QWidget *parent = nullptr);

  TBackStyle backStyle() const { return style_; }
  // These three store and invalidate even when the value is unchanged.
  void setBackStyle(TBackStyle style);
  TColor color1() const { return color1_; }
  void setColor1(TColor color);
  TColor color2() const { return color2_; }
  void setColor2(TColor color);

  const QImage &picture() const { return picture_; }
  // Copies the picture's content and repaints at once; the held picture
  // itself is ignored.
  void setPicture(const QImage &picture);

  TAlign align() const { return align_; }
  void setAlign(TAlign align);

public:
  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;

protected:
  void paintEvent(QPaintEvent *event) override;
  void mousePressEvent(QMouseEvent *event) override;
  void mouseDoubleClickEvent(QMouseEvent *event) override;
  void mouseMoveEvent(QMouseEvent *event) override;
  void mouseReleaseEvent(QMouseEvent *event) override;
  bool eventFilter(QObject *watched, QEvent *event) override;
  void changeEvent(QEvent *event) override;

private:
  void paintSmooth(QPainter &painter, const QRect &area) const;
  void paintSingleBitmap(QPainter &painter, const QRect &area) const;
  void paintTiles(QPainter &painter, const QRect &area) const;
  void followParent();

  TBackStyle style_ = bgSingleColor;
  TColor color1_ = clWhite;
  TColor color2_ = clBlack;
  QImage picture_;
  QPixmap tile_; // the picture converted once for painting
  TAlign align_ = alNone;
  QPointer<QWidget> watchedParent_;
  bool clicked_ = false;
};

} // namespace vantor
