#include "controls/picbtn.h"

#include "controls/image.h"
#include "controls/picbtncomposite.h"
#include "platform/clock.h"
#include "platform/handlerguard.h"

#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QStyleHints>

#include <algorithm>

namespace vantor {
namespace {

// Presses shorter than this are clicks: a button that repeats sooner would
// act several times on one click.
constexpr int kClickLength = 250;

std::uint32_t now() {
  return platform::tickCount();
}

// The millisecond clock wraps after about 49.7 days; the difference of two
// ticks taken as signed stays right across the wrap.
bool reached(std::uint32_t due, std::uint32_t t) {
  return static_cast<std::int32_t>(t - due) >= 0;
}

// A button that repeats sooner than a click lasts waits the system's
// double-click interval instead, so a click of ordinary length acts once;
// every other button keeps its own delay.
int firstRepeatDelay(int firstWait) {
  if (firstWait >= kClickLength)
    return firstWait;
  return std::max(firstWait, QGuiApplication::styleHints()->mouseDoubleClickInterval());
}

Backdrop backdropFor(const QWidget *button, TImage *&image) {
  QWidget *parent = button->parentWidget();
  Backdrop backdrop;
  if (parent->isWindow() || qobject_cast<QFrame *>(parent))
    backdrop.color = fromQColor(parent->palette().color(parent->backgroundRole()));
  else
    backdrop.color = clSilver;
  image = qobject_cast<TImage *>(lightweightChildAt(parent, button->pos(), button));
  if (image) {
    backdrop.image = image->picture();
    backdrop.imagePos = image->pos();
  }
  return backdrop;
}

} // namespace

void CycleFocus(QWidget *form, QWidget *button, bool forward) {
  if (!form || !button)
    return;
  QList<QWidget *> stops;
  for (QWidget *w = form->nextInFocusChain(); w && w != form; w = w->nextInFocusChain()) {
    if (!form->isAncestorOf(w))
      continue;
    const bool canFocus = form->isEnabled() && w->isEnabledTo(form) && w->isVisibleTo(form);
    if (w == button || (canFocus && (w->focusPolicy() & Qt::TabFocus)))
      stops.append(w);
  }
  const qsizetype i = stops.lastIndexOf(button);
  if (i < 0)
    return;
  const qsizetype last = stops.size() - 1;
  const qsizetype next = i == last ? 0 : i + 1;
  const qsizetype previous = i == 0 ? last : i - 1;
  if (next != i && previous != i)
    stops[forward ? next : previous]->setFocus(forward ? Qt::TabFocusReason
                                                       : Qt::BacktabFocusReason);
}

TPicBtn::TPicBtn(QWidget *parent) : QWidget(parent), maskedPicture_(new TMaskedPicture(this)) {
  OnDrawFocus = [this](QObject *, QPainter &canvas, TRect &rect) {
    drawDefaultFocus(canvas, rect);
  };
  maskedPicture_->OnChange = [this](QObject *) { pictureChanged(); };
  // Paints its whole area itself; no erase first.
  setAttribute(Qt::WA_OpaquePaintEvent);
  // A press takes the focus itself, and only on the picture: a press on a
  // see-through pixel leaves the focus where it is.
  setFocusPolicy(Qt::NoFocus);
  setFixedSize(0, 0);
  for (QTimer *timer : {&hoverTimer_, &repeatTimer_}) {
    timer->setInterval(1);
    timer->setTimerType(Qt::PreciseTimer);
  }
  connect(&hoverTimer_, &QTimer::timeout, this, &TPicBtn::hoverTick);
  connect(&repeatTimer_, &QTimer::timeout, this, &TPicBtn::repeatTick);
}

TPicBtn::~TPicBtn() {
  hoverTimer_.stop();
  repeatTimer_.stop();
  maskedPicture_->OnChange = nullptr;
}

int TPicBtn::frameHeight() const {
  return maskedPicture_->picture().height() / numStates_;
}

void TPicBtn::setBtnState(int value) {
  if (value < 1)
    value = 1;
  // Compared before the clamp below: an out-of-range sDisabled still disables.
  if (value == sDisabled_) {
    CycleFocus(parentWidget() ? window() : nullptr, this, true);
    setEnabled(false);
  } else {
    setEnabled(true);
  }
  btnState_ = value > numStates_ ? 1 : value;
  update();
}

void TPicBtn::setNextState(int value) {
  nextState_ = value < 0 || value > numStates_ ? 0 : value;
}

void TPicBtn::setNumStates(int value) {
  if (value < 1)
    value = 1;
  if (value == numStates_)
    return;
  numStates_ = value;
  for (int *frame : {&sActive_, &sInActive_, &sDisabled_, &sDown_})
    if (*frame > numStates_)
      *frame = 1;
  if (btnState_ > numStates_)
    setBtnState(1);
  updateShape();
  placementChanged();
}

void TPicBtn::setMasked(bool value) {
  if (value == masked_)
    return;
  masked_ = value;
  updateShape();
  rebuildComposite();
  update();
}

void TPicBtn::setMonitoring(bool value) {
  monitoring_ = value;
  hoverTimer_.stop();
  if (value)
    hoverTimer_.start();
}

void TPicBtn::setFocusColor(TColor value) {
  if (value == focusColor_)
    return;
  focusColor_ = value;
  update();
}

void TPicBtn::pictureChanged() {
  updateShape();
  if (!placementChanged()) {
    rebuildComposite();
    update();
  }
}

// Size follows the picture. The see-through pixels are painted from the
// composite, so the button keeps its whole rectangle: a press there must not
// reach the window behind, which would start dragging it.
void TPicBtn::updateShape() {
  const QImage &picture = maskedPicture_->picture();
  setFixedSize(picture.width(), frameHeight());
}

bool TPicBtn::placementChanged() {
  if (geometry() == lastPlacement_)
    return false;
  lastPlacement_ = geometry();
  rebuildComposite();
  update();
  return true;
}

void TPicBtn::rebuildComposite() {
  if (!parentWidget())
    return;
  const QImage &picture = maskedPicture_->picture();
  if (picture.isNull()) {
    composite_ = QImage();
    return;
  }
  TImage *image = nullptr;
  const Backdrop backdrop = backdropFor(this, image);
  followBackdrop(image);
  composite_ = composeButtonImage(picture, masked_, maskedPicture_->maskColor(), backdrop, pos(),
                                  frameHeight());
}

// A new picture in the image behind (a skin change) changes what shows
// through, so the composite follows it.
void TPicBtn::followBackdrop(TImage *image) {
  if (image == backdropImage_)
    return;
  disconnect(backdropChanged_);
  backdropImage_ = image;
  if (image)
    backdropChanged_ = connect(image, &TImage::pictureChanged, this, [this] {
      rebuildComposite();
      update();
    });
}

bool TPicBtn::cursorOver() const {
  const QImage &picture = maskedPicture_->picture();
  if (picture.isNull())
    return false;
  const QPoint p = mapFromGlobal(platform::cursorPos());
  return rect().contains(p) && picture.valid(p) && !seeThrough(p);
}

bool TPicBtn::seeThrough(QPoint p) const {
  const QImage &picture = maskedPicture_->picture();
  return masked_ && picture.valid(p) &&
         pixelColor(picture, p.x(), p.y()) == maskedPicture_->maskColor();
}

void TPicBtn::Click() {
  QPointer<TPicBtn> self(this);
  if (!callHandler(OnClick, this))
    return;
  if (self)
    setBtnState(nextState_ != 0 ? nextState_ : sActive_);
}

// A command that fails is reported once and ends the press's repeat, at the
// press as on a repeat; the release still clicks. False when it failed or
// the handler deleted the button.
bool TPicBtn::command() {
  QPointer<TPicBtn> self(this);
  if (callHandler(OnCommand, this))
    return self;
  if (self)
    stopRepeat();
  return false;
}

void TPicBtn::press() {
  setFocus(Qt::MouseFocusReason);
  nextState_ = btnState_;
  setBtnState(sDown_);
  if (!command())
    return;
  nextFire_ = now() + firstRepeatDelay(firstWait_);
  repeatTimer_.stop();
  repeatTimer_.start();
}

void TPicBtn::repeatTick() {
  if (!cursorOver()) {
    setBtnState(nextState_);
    stopRepeat();
    return;
  }
  // Advancing from the previous due time catches up on late ticks.
  if (!nextFire_ || !reached(*nextFire_, now()))
    return;
  *nextFire_ += repeate_;
  if (btnState_ == sDown_)
    command();
}

void TPicBtn::hoverTick() {
  if (cursorOver()) {
    if (!hover_ && OnMouseEnter) {
      hover_ = true;
      callHandler(OnMouseEnter, this);
    }
  } else if (hover_ && OnMouseExit) {
    hover_ = false;
    callHandler(OnMouseExit, this);
  }
}

void TPicBtn::stopRepeat() {
  repeatTimer_.stop();
  nextFire_.reset();
}

void TPicBtn::spaceCharacter() {
  const std::uint32_t t = now();
  if (keyFailed_ || (nextFire_ && !reached(*nextFire_, t)))
    return;
  const bool idle = !nextFire_;
  QPointer<TPicBtn> self(this);
  const bool done = command();
  if (!self)
    return;
  if (!done) {
    // The key's own repeats belong to the same press: reported once.
    keyFailed_ = true;
    return;
  }
  nextFire_ = t + static_cast<std::uint32_t>(idle ? firstWait_ : repeate_);
}

void TPicBtn::tabKey(bool backward) {
  if (btnState_ == sDown_) {
    repeatTimer_.stop();
    setBtnState(sActive_);
    return;
  }
  CycleFocus(window(), this, !backward);
}

bool TPicBtn::event(QEvent *event) {
  switch (event->type()) {
  case QEvent::KeyPress: {
    // Tab belongs to the button, not to the form's focus navigation.
    auto *key = static_cast<QKeyEvent *>(event);
    if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
      if (hasFocus())
        tabKey(key->key() == Qt::Key_Backtab || (key->modifiers() & Qt::ShiftModifier));
      return true;
    }
    break;
  }
  case QEvent::MouseButtonPress:
  case QEvent::MouseButtonDblClick:
  case QEvent::MouseButtonRelease:
  case QEvent::MouseMove: {
    // A see-through pixel answers nowhere: neither the button nor the window
    // behind sees the mouse there.
    auto *mouse = static_cast<QMouseEvent *>(event);
    if (!seeThrough(mouse->position().toPoint()))
      break;
    if (event->type() == QEvent::MouseButtonRelease && btnState_ == sDown_) {
      // Released off the picture: the press is over without a click, as when
      // the cursor leaves the button.
      setBtnState(nextState_);
      stopRepeat();
    }
    event->accept();
    return true;
  }
  case QEvent::Move:
  case QEvent::Resize: {
    const bool result = QWidget::event(event);
    placementChanged();
    return result;
  }
  case QEvent::ParentChange: {
    const bool result = QWidget::event(event);
    rebuildComposite();
    update();
    return result;
  }
  default:
    break;
  }
  return QWidget::event(event);
}

void TPicBtn::paintEvent(QPaintEvent *) {
  const QImage &picture = maskedPicture_->picture();
  if (composite_.isNull() || picture.isNull())
    return;
  const int width = picture.width(), height = frameHeight();
  QPainter canvas(this);
  canvas.drawImage(QPoint(0, 0), composite_, QRect(0, (btnState_ - 1) * height, width, height));
  if (!hasFocus() || !drawFocus_)
    return;
  if (focusRect_.isUnset())
    focusRect_ = {0, 0, width, height};
  if (!OnDrawFocus)
    return;
  canvas.save();
  // A failure while painting is dropped: a box would return with every repaint.
  callHandlerQuietly(OnDrawFocus, this, canvas, focusRect_);
  canvas.restore();
}

void TPicBtn::drawDefaultFocus(QPainter &canvas, const TRect &given) const {
  const TRect r = given.isUnset() ? TRect{0, 0, width(), height()} : given;
  const QColor color = toQColor(focusColor_);
  const int w = r.width(), h = r.height();
  if (w <= 0 || h <= 0)
    return;
  canvas.fillRect(r.Left, r.Top, w, 1, color);
  canvas.fillRect(r.Left, r.Bottom - 1, w, 1, color);
  canvas.fillRect(r.Left, r.Top, 1, h, color);
  canvas.fillRect(r.Right - 1, r.Top, 1, h, color);
}

void TPicBtn::mousePressEvent(QMouseEvent *event) {
  if (event->button() == Qt::LeftButton) {
    press();
    return;
  }
  const QPoint p = event->position().toPoint();
  callHandler(OnMouseDown, this, event->button(), event->modifiers(), p.x(), p.y());
}

void TPicBtn::mouseDoubleClickEvent(QMouseEvent *event) {
  // The second press of a double-click is a press like the first.
  mousePressEvent(event);
}

void TPicBtn::mouseReleaseEvent(QMouseEvent *event) {
  if (event->button() == Qt::LeftButton) {
    if (isEnabled() && btnState_ == sDown_) {
      stopRepeat();
      Click();
    }
    return;
  }
  const QPoint p = event->position().toPoint();
  callHandler(OnMouseUp, this, event->button(), event->modifiers(), p.x(), p.y());
}

void TPicBtn::mouseMoveEvent(QMouseEvent *event) {
  const QPoint p = event->position().toPoint();
  callHandler(OnMouseMove, this, event->modifiers(), p.x(), p.y());
}

void TPicBtn::keyPressEvent(QKeyEvent *event) {
  // Every key is the button's; only Space does something.
  event->accept();
  if (event->key() != Qt::Key_Space || !hasFocus())
    return;
  if (!event->isAutoRepeat())
    keyFailed_ = false;
  setBtnState(sDown_);
  // A disabling sDown has handed the focus on; the character goes there.
  if (hasFocus() && event->text() == QLatin1String(" "))
    spaceCharacter();
}

void TPicBtn::keyReleaseEvent(QKeyEvent *event) {
  event->accept();
  if (event->key() != Qt::Key_Space || event->isAutoRepeat() || !isEnabled())
    return;
  stopRepeat();
  Click();
}

void TPicBtn::focusInEvent(QFocusEvent *event) {
  QWidget::focusInEvent(event);
  update();
}

void TPicBtn::focusOutEvent(QFocusEvent *event) {
  QWidget::focusOutEvent(event);
  update();
}

} // namespace vantor
