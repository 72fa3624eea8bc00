#include "controls/formshaper.h"

#include "controls/colors.h"
#include "controls/form.h"
#include "controls/image.h"
#include "platform/clock.h"
#include "platform/usermessage.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

namespace vantor {
namespace {

// The hourglass for as long as a slow step runs.
class WaitCursor final {
public:
  WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
  ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
  WaitCursor(const WaitCursor &) = delete;
  WaitCursor &operator=(const WaitCursor &) = delete;
};

} // namespace

QImage transparentOutside(const QImage &picture, TColor maskColor) {
  if (picture.isNull() || isSystemColor(maskColor))
    return picture;
  // Compared as pixelColor sees them: through the palette, without alpha.
  const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
  const QRgb mask =
      qRgb(int(maskColor & 0xFF), int((maskColor >> 8) & 0xFF), int((maskColor >> 16) & 0xFF)) &
      0xFFFFFFu;
  QImage cut = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  for (int y = 0; y < cut.height(); ++y) {
    const auto *seen = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
    auto *line = reinterpret_cast<QRgb *>(cut.scanLine(y));
    for (int x = 0; x < cut.width(); ++x)
      if ((seen[x] & 0xFFFFFFu) == mask)
        line[x] = 0;
  }
  return cut;
}

TFormShaper::TFormShaper(QObject *owner)
    : QObject(owner), maskedPicture_(new TMaskedPicture(this)) {
  maskedPicture_->OnChange = [this](QObject *) { pictureChanged(); };
  attach(owner);
}

TFormShaper::~TFormShaper() {
  destroying_ = true;
  maskedPicture_->OnChange = nullptr;
  // The form keeps whatever outline it has.
  if (form_)
    form_->removeEventFilter(this);
  if (backgrnd_) {
    backgrnd_->removeEventFilter(this);
    disconnect(backgrndGone_);
  }
}

void TFormShaper::attach(QObject *owner) {
  auto *widget = qobject_cast<TForm *>(owner);
  if (!widget) {
    showUserMessage({MessageIcon::Error, QStringLiteral("Fatal Error"),
                     QStringLiteral("Owner of FormShaper is not a TForm")});
    return;
  }
  form_ = widget;
  // Under a compositor the outline comes from the picture's transparent
  // pixels (a mask there may shape input only); without one the shape cuts
  // the window as before. Set before the window is created: it chooses the
  // window's pixel format.
  form_->setAttribute(Qt::WA_TranslucentBackground);
  form_->installEventFilter(this);
  setShowCaption(showCaption_);
}

void TFormShaper::setShowCaption(bool value) {
  if (value)
    windowMove_ = NoMove;
  if (value == showCaption_)
    return;
  const bool wasActive = active_;
  WaitCursor wait;
  showCaption_ = value;
  if (!form_)
    return;
  setActive(false);
  // Changing the frame flags hides a shown window; show it again.
  const bool visible = form_->isVisible();
  form_->setWindowFlag(Qt::FramelessWindowHint, !value);
  if (visible)
    form_->show();
  setActive(wasActive);
}

void TFormShaper::setActive(bool value) {
  if (destroying_)
    return;
  if (value == active_ && !regionChanged_)
    return;
  active_ = false;
  const bool havePicture = !maskedPicture_->picture().isNull();
  if (value && region_ && havePicture && form_) {
    const QRegion outline = *region_;
    if (!outline.isEmpty()) {
      form_->setMask(outline);
      active_ = true;
    } else {
      form_->clearMask();
    }
  } else if (form_) {
    form_->clearMask();
  }
  regionChanged_ = false;
}

void TFormShaper::setBackgrnd(TImage *image) {
  if (image == backgrnd_)
    return;
  if (backgrnd_) {
    backgrnd_->removeEventFilter(this);
    disconnect(backgrndGone_);
  }
  backgrnd_ = image;
  updateErase();
  if (!image)
    return;
  image->lower();
  backgrndGone_ = connect(image, &QObject::destroyed, this, &TFormShaper::backgroundGone);
  image->installEventFilter(this);
  image->setAutoSize(true);
  image->setAlign(TImage::alClient);
  showPicture();
  resizeForm();
  updateErase();
}

void TFormShaper::backgroundGone() {
  setActive(false);
  backgrnd_ = nullptr;
  updateErase();
}

void TFormShaper::showPicture() {
  if (backgrnd_)
    backgrnd_->setPicture(
        transparentOutside(maskedPicture_->picture(), maskedPicture_->maskColor()));
}

void TFormShaper::pictureChanged() {
  showPicture();
  resizeForm();
  rebuildRegion();
  updateErase();
}

void TFormShaper::rebuildRegion() {
  const bool had = region_.has_value();
  region_.reset();
  const QImage &picture = maskedPicture_->picture();
  if (form_ && !picture.isNull()) {
    WaitCursor wait;
    region_ = maskRegion(picture, maskedPicture_->maskColor());
  }
  if (had || region_) {
    regionChanged_ = true;
    setActive(active_);
  }
}

void TFormShaper::resizeForm() {
  const QImage &picture = maskedPicture_->picture();
  if (!form_ || picture.isNull())
    return;
  // With a caption the client area takes the picture's size, without one the
  // whole window does.
  const QSize frame = showCaption_ ? QSize(0, 0) : form_->frameGeometry().size() - form_->size();
  const QSize target = picture.size() - frame;
  if (form_->size() == target)
    return;
  // A form that keeps a fixed size keeps it, at the picture's size.
  if (form_->minimumSize() == form_->maximumSize())
    form_->setFixedSize(target);
  else
    form_->resize(target);
  if (backgrnd_)
    backgrnd_->realign();
}

// The background image covers the whole form, so the form need not clear
// itself first.
void TFormShaper::updateErase() {
  if (!form_)
    return;
  const bool covered = backgrnd_ && !backgrnd_->picture().isNull();
  form_->setAttribute(Qt::WA_NoSystemBackground, covered);
}

bool TFormShaper::anchorOnBackground() const {
  QWidget *below = lightweightChildAt(form_, anchor_);
  return below == nullptr || below == backgrnd_;
}

bool TFormShaper::mouseEvent(QEvent *event) {
  auto *mouse = static_cast<QMouseEvent *>(event);
  switch (event->type()) {
  case QEvent::MouseButtonPress:
  case QEvent::MouseButtonDblClick:
    if (mouse->button() != Qt::LeftButton)
      return false;
    anchor_ = form_->mapFromGlobal(platform::cursorPos());
    if (anchorOnBackground())
      dragging_ = true;
    // The whole surface acts as the caption: the system drags the window.
    if (windowMove_ == SystemMove && form_->windowHandle()) {
      form_->windowHandle()->startSystemMove();
      return true;
    }
    return false;
  case QEvent::MouseButtonRelease:
    if (mouse->button() == Qt::LeftButton)
      dragging_ = false;
    return false;
  case QEvent::MouseMove: {
    const bool onlyLeft = mouse->buttons() == Qt::LeftButton &&
                          !(mouse->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier));
    if (!anchorOnBackground() || !dragging_ || windowMove_ != FullMove || !onlyLeft)
      return false;
    form_->move(platform::cursorPos() - anchor_);
    return true;
  }
  default:
    return false;
  }
}

bool TFormShaper::eventFilter(QObject *watched, QEvent *event) {
  if (!form_ || (watched != form_ && watched != backgrnd_))
    return QObject::eventFilter(watched, event);
  switch (event->type()) {
  case QEvent::MouseButtonPress:
  case QEvent::MouseButtonDblClick:
  case QEvent::MouseButtonRelease:
  case QEvent::MouseMove:
    return mouseEvent(event);
  case QEvent::Show:
  case QEvent::Hide:
    // The first show always takes the outline; later ones only re-apply an
    // active one.
    if (watched == form_ && (!firstShown_ || active_)) {
      setActive(true);
      firstShown_ = true;
    }
    return false;
  default:
    return QObject::eventFilter(watched, event);
  }
}

} // namespace vantor
