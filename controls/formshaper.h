#pragma once

#include "controls/image.h"
#include "controls/maskedpicture.h"

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRegion>
#include <optional>

namespace vantor {

// The picture with every mask-coloured pixel made fully transparent: what a
// compositor shows of the window. A system-colour mask matches no pixel.
QImage transparentOutside(const QImage &picture, TColor maskColor);

// Gives its owner form the outline of a picture: every pixel that is not the
// mask colour belongs to the window. Shows the same picture through a linked
// background image, sizes the form to it, can switch the caption and frame,
// and can drag a captionless form by its background.
class TFormShaper final : public QObject {
  Q_OBJECT
  Q_PROPERTY(vantor::TMaskedPicture *MaskedPicture READ maskedPicture CONSTANT)
  Q_PROPERTY(bool ShowCaption READ showCaption WRITE setShowCaption)
  Q_PROPERTY(bool Active READ active WRITE setActive)
  Q_PROPERTY(TMoveOption WindowMove READ windowMove WRITE setWindowMove)
  Q_PROPERTY(vantor::TImage *Backgrnd READ backgrnd WRITE setBackgrnd)
  Q_PROPERTY(int Tag READ tag WRITE setTag)

public:
  enum TMoveOption { FullMove, SystemMove, NoMove };
  Q_ENUM(TMoveOption)

  // `owner` must be a TForm; otherwise a "Fatal Error" box says so
  // and the shaper stays passive.
  explicit TFormShaper(QObject *owner);
  ~TFormShaper() override;

  TMaskedPicture *maskedPicture() const { return maskedPicture_; }

  bool showCaption() const { return showCaption_; }
  void setShowCaption(bool value);
  bool active() const { return active_; }
  void setActive(bool value);
  TMoveOption windowMove() const { return windowMove_; }
  void setWindowMove(TMoveOption value) { windowMove_ = value; }
  TImage *backgrnd() const { return backgrnd_; }
  void setBackgrnd(TImage *image);
  int tag() const { return tag_; }
  void setTag(int value) { tag_ = value; }

  // The attached form, or none when the owner was not a form.
  QWidget *form() const { return form_; }
  // The outline built from the picture, or none (no form or empty picture).
  const std::optional<QRegion> &region() const { return region_; }

protected:
  bool eventFilter(QObject *watched, QEvent *event) override;

private:
  void attach(QObject *owner);
  void pictureChanged();
  void rebuildRegion();
  void resizeForm();
  void backgroundGone();
  void updateErase();
  void showPicture();
  bool anchorOnBackground() const;
  bool mouseEvent(QEvent *event);

  TMaskedPicture *maskedPicture_;
  QPointer<QWidget> form_;
  QPointer<TImage> backgrnd_;
  QMetaObject::Connection backgrndGone_;
  std::optional<QRegion> region_;
  bool regionChanged_ = false;
  bool firstShown_ = false;
  bool dragging_ = false;
  bool destroying_ = false;
  QPoint anchor_;
  bool showCaption_ = true;
  bool active_ = false;
  TMoveOption windowMove_ = NoMove;
  int tag_ = 0;
};

} // namespace vantor
