#pragma once

#include "platform/events.h"

#include <QImage>
#include <QPixmap>
#include <QPointer>
#include <QWidget>

namespace vantor {

// A non-focusable picture control: shows its bitmap at natural size or
// stretched, can size itself to it or fill its parent, and reports mouse
// events (the skinned windows drag themselves by it).
class TImage final : public QWidget {
  Q_OBJECT
  Q_PROPERTY(QImage Picture READ picture WRITE setPicture)
  Q_PROPERTY(bool Stretch READ stretch WRITE setStretch)
  Q_PROPERTY(bool AutoSize READ autoSize WRITE setAutoSize)
  Q_PROPERTY(TAlign Align READ align WRITE setAlign)

public:
  enum TAlign { alNone, alClient };
  Q_ENUM(TAlign)

  explicit TImage(QWidget *parent = nullptr);

  const QImage &picture() const { return picture_; }
  void setPicture(const QImage &picture);
  void clearPicture() { setPicture(QImage()); }

  bool stretch() const { return stretch_; }
  void setStretch(bool stretch);

  bool autoSize() const { return autoSize_; }
  void setAutoSize(bool autoSize);

  TAlign align() const { return align_; }
  void setAlign(TAlign align);

  QSize sizeHint() const override;
  // Applies AutoSize and Align again; a hidden parent's resize sends no event.
  void realign() { adjustGeometry(); }

signals:
  // The picture was replaced; controls composed against it follow. A signal,
  // a signal, not an assignable event: every button lying on the image listens at once.
  void pictureChanged();

public:
  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;
  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;

protected:
  void paintEvent(QPaintEvent *event) override;
  void mousePressEvent(QMouseEvent *event) override;
  void mouseMoveEvent(QMouseEvent *event) override;
  void mouseReleaseEvent(QMouseEvent *event) override;
  void mouseDoubleClickEvent(QMouseEvent *event) override;
  bool eventFilter(QObject *watched, QEvent *event) override;
  bool event(QEvent *event) override;

private:
  void adjustGeometry();

  QImage picture_;
  QPixmap pixmap_; // the picture ready for painting, made on change
  bool stretch_ = false;
  bool autoSize_ = false;
  TAlign align_ = alNone;
  bool pressed_ = false;
  QPointer<QWidget> watchedParent_;
};

// Images, labels and background panels: the controls that have no window of
// their own in the skinned windows' model.
bool isLightweight(const QWidget *widget);

// The topmost visible lightweight child of `parent` at `point` (parent
// coordinates), disabled ones included; windowed controls are skipped.
QWidget *lightweightChildAt(const QWidget *parent, QPoint point, const QWidget *except = nullptr);

} // namespace vantor
