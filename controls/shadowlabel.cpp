#include "controls/shadowlabel.h"

#include "platform/clock.h"
#include "platform/handlerguard.h"

#include <QApplication>
#include <QEvent>
#include <QKeySequence>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcutEvent>

namespace vantor {

using namespace labeltext;

TShadowLabel::TShadowLabel(QWidget *parent) : QWidget(parent) {
  resize(65, 17);
  setAttribute(Qt::WA_OpaquePaintEvent, true);
}

TShadowLabel::~TShadowLabel() {
  if (focusControl_)
    focusControl_->removeEventFilter(this);
}

void TShadowLabel::setCaption(const QString &caption) {
  if (caption == caption_)
    return;
  caption_ = caption;
  update();
  adjustBounds();
  updateShortcut();
}

bool TShadowLabel::parentFont() const {
  return !testAttribute(Qt::WA_SetFont);
}

void TShadowLabel::setParentFont(bool parentFont) {
  if (parentFont == this->parentFont())
    return;
  if (parentFont) {
    setFont(QFont()); // an unresolved font follows the parent again
  } else {
    setFont(font());
    setAttribute(Qt::WA_SetFont, true);
  }
}

void TShadowLabel::setFontColor(TColor color) {
  if (color == fontColor_)
    return;
  fontColor_ = color;
  update();
}

void TShadowLabel::setAlignment(TAlignment alignment) {
  if (alignment == alignment_)
    return;
  alignment_ = alignment;
  update();
}

void TShadowLabel::setAutoSize(bool autoSize) {
  if (autoSize == autoSize_)
    return;
  autoSize_ = autoSize;
  adjustBounds();
}

void TShadowLabel::setLayout(TTextLayout layout) {
  if (layout == layout_)
    return;
  layout_ = layout;
  update();
}

void TShadowLabel::setWordWrap(bool wordWrap) {
  if (wordWrap == wordWrap_)
    return;
  wordWrap_ = wordWrap;
  adjustBounds();
  update();
}

void TShadowLabel::setTransparent(bool transparent) {
  if (transparent == transparent_)
    return;
  transparent_ = transparent;
  // Only an opaque label paints every pixel; a transparent one lets Qt
  // paint what lies behind it first.
  setAttribute(Qt::WA_OpaquePaintEvent, !transparent);
  update();
}

void TShadowLabel::setShadowColor(TColor color) {
  if (color == shadowColor_)
    return;
  shadowColor_ = color;
  update();
}

void TShadowLabel::setShadowSize(std::uint8_t size) {
  if (size == shadowSize_)
    return;
  shadowSize_ = size;
  adjustBounds();
  update();
}

void TShadowLabel::setShadowPos(TShadowPosition position) {
  if (position == shadowPos_)
    return;
  shadowPos_ = position;
  update();
}

void TShadowLabel::setShowAccelChar(bool show) {
  if (show == showAccelChar_)
    return;
  showAccelChar_ = show;
  update();
  updateShortcut();
}

void TShadowLabel::setShowFocus(bool show) {
  if (show == showFocus_)
    return;
  showFocus_ = show;
  update();
}

void TShadowLabel::setFocusControl(QWidget *control) {
  if (control == focusControl_)
    return;
  if (focusControl_) {
    focusControl_->removeEventFilter(this);
    disconnect(focusControl_, &QObject::destroyed, this, nullptr);
  }
  focusControl_ = control;
  if (control) {
    // Focus changes of the control decide whether the focus rectangle shows.
    control->installEventFilter(this);
    connect(control, &QObject::destroyed, this, &TShadowLabel::forgetFocusControl);
  }
  updateShortcut();
  if (showFocus_)
    update();
}

void TShadowLabel::forgetFocusControl() {
  focusControl_ = nullptr;
  updateShortcut();
  if (showFocus_)
    update();
}

void TShadowLabel::setColor(TColor color) {
  if (color == color_ && !parentColor_)
    return;
  color_ = color;
  parentColor_ = false;
  update();
}

void TShadowLabel::setParentColor(bool parentColor) {
  if (parentColor == parentColor_)
    return;
  parentColor_ = parentColor;
  update();
}

QColor TShadowLabel::effectiveColor() const {
  if (parentColor_ && parentWidget())
    return parentWidget()->palette().color(parentWidget()->backgroundRole());
  return toQColor(color_);
}

TShadowLabel::PassStyle TShadowLabel::passStyle() const {
  PassStyle style{toQColor(fontColor_), toQColor(shadowColor_),
                  shadowOffset(shadowPos_, shadowSize_)};
  if (!isEnabled()) {
    style.text = toQColor(clGrayText);
    style.shadow = toQColor(clBtnHighlight);
    // Without a shadow of its own a disabled label looks engraved.
    if (shadowSize_ == 0)
      style.offset = shadowOffset(spRightBottom, 1);
  }
  return style;
}

QRect TShadowLabel::textPass(QPainter *painter, const QRect &rect, int flags) const {
  const PassStyle style = passStyle();
  const QRect shadowRect = rect.translated(style.offset);
  if (!painter) {
    const QFontMetrics metrics(font());
    const QString text = measuredText(caption_, showAccelChar_);
    return boundingUnion(measure(metrics, shadowRect, flags, text),
                         measure(metrics, rect, flags, text));
  }
  painter->setFont(font());
  // A shadow on the text's own pixels would only tint the glyph edges.
  if (!style.offset.isNull()) {
    painter->setPen(style.shadow);
    painter->drawText(shadowRect, flags, caption_);
  }
  painter->setPen(style.text);
  painter->drawText(rect, flags, caption_);
  return boundingUnion(shadowRect, rect);
}

QSize TShadowLabel::fittedSize() const {
  const QRect client(1, 0, width() - 2, height());
  const int flags = drawFlags(taLeftJustify, wordWrap_, showAccelChar_);
  const QRect measured = textPass(nullptr, client, flags);
  // One pixel more on each side; the size reaches the measured right and bottom.
  const int right = measured.x() + measured.width() + 1;
  const int bottom = measured.y() + measured.height();
  return QSize(std::max(0, right), std::max(0, bottom));
}

void TShadowLabel::adjustBounds() {
  if (!autoSize_)
    return;
  const QSize size = fittedSize();
  int left = x();
  if (alignment_ == taRightJustify)
    left += width() - size.width(); // the right edge stays put
  setGeometry(left, y(), size.width(), size.height());
}

void TShadowLabel::paintEvent(QPaintEvent *) {
  QPainter painter(this);
  if (!transparent_)
    painter.fillRect(rect(), effectiveColor());

  QRect textRect(1, 0, width() - 2, height());
  const int flags = drawFlags(alignment_, wordWrap_, showAccelChar_);
  if (layout_ != tlTop) {
    const QRect measured = textPass(nullptr, textRect, flags);
    const int shift = layoutShift(layout_, height(), measured.y() + measured.height());
    textRect = QRect(0, measured.y() + shift, width(), measured.height());
  }
  QRect drawn = textPass(&painter, textRect, flags);

  if (showFocus_ && focusControl_ && focusControl_->hasFocus()) {
    drawn.adjust(-1, 0, 1, 0);
    // Inverted dots show on any background, like the system's focus rectangle.
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.setPen(QPen(Qt::white, 1, Qt::DotLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(drawn.adjusted(0, 0, -1, -1));
  }
}

bool TShadowLabel::event(QEvent *event) {
  if (event->type() == QEvent::Shortcut) {
    auto *shortcut = static_cast<QShortcutEvent *>(event);
    if (shortcutId_ != 0 && shortcut->shortcutId() == shortcutId_) {
      dialogChar(accelChar(caption_));
      return true;
    }
  }
  return QWidget::event(event);
}

bool TShadowLabel::dialogChar(QChar key) {
  if (!focusControl_ || !isEnabled() || !showAccelChar_ || !isAccel(key, caption_))
    return false;
  QWidget *target = focusControl_;
  if (!target->isVisible() || !target->isEnabled() || target->focusPolicy() == Qt::NoFocus)
    return false;
  target->setFocus(Qt::ShortcutFocusReason);
  return true;
}

void TShadowLabel::updateShortcut() {
  if (shortcutId_ != 0) {
    releaseShortcut(shortcutId_);
    shortcutId_ = 0;
  }
  if (!focusControl_ || !showAccelChar_)
    return;
  const QKeySequence sequence = QKeySequence::mnemonic(caption_);
  if (!sequence.isEmpty())
    shortcutId_ = grabShortcut(sequence);
}

bool TShadowLabel::eventFilter(QObject *watched, QEvent *event) {
  if (watched == focusControl_ &&
      (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) && showFocus_)
    update();
  return QWidget::eventFilter(watched, event);
}

void TShadowLabel::changeEvent(QEvent *event) {
  QWidget::changeEvent(event);
  switch (event->type()) {
  case QEvent::FontChange:
    adjustBounds();
    update();
    break;
  case QEvent::EnabledChange:
    // A disabled label gets no release: it forgets the left button held on it.
    if (!isEnabled())
      leftHeld_ = false;
    update();
    updateMouseInside();
    break;
  case QEvent::PaletteChange:
  case QEvent::ParentChange:
    update();
    break;
  default:
    break;
  }
}

void TShadowLabel::showEvent(QShowEvent *event) {
  QWidget::showEvent(event);
  updateMouseInside();
}

void TShadowLabel::enterEvent(QEnterEvent *event) {
  QWidget::enterEvent(event);
  if (!mouseInside_ && isEnabled() && QApplication::activeWindow())
    setMouseInside(true);
}

void TShadowLabel::leaveEvent(QEvent *event) {
  QWidget::leaveEvent(event);
  // The left button pressed here keeps the label entered until released.
  if (mouseInside_ && !leftHeld_)
    setMouseInside(false);
}

void TShadowLabel::setMouseInside(bool inside) {
  if (inside == mouseInside_)
    return;
  mouseInside_ = inside;
  if (inside)
    callHandler(OnMouseEnter, this);
  else
    callHandler(OnMouseLeave, this);
}

void TShadowLabel::updateMouseInside() {
  const QWidget *top = QApplication::widgetAt(platform::cursorPos());
  setMouseInside(top == this && isEnabled() && QApplication::activeWindow());
}

void TShadowLabel::mousePressEvent(QMouseEvent *event) {
  if (event->button() == Qt::LeftButton) {
    leftHeld_ = true;
    clicked_ = true;
  }
  const QPoint pos = event->position().toPoint();
  callHandler(OnMouseDown, this, event->button(), event->modifiers(), pos.x(), pos.y());
  if (event->button() == Qt::RightButton)
    updateMouseInside();
}

void TShadowLabel::mouseDoubleClickEvent(QMouseEvent *event) {
  if (event->button() == Qt::LeftButton) {
    leftHeld_ = true;
    callHandler(OnDblClick, this);
  }
  const QPoint pos = event->position().toPoint();
  callHandler(OnMouseDown, this, event->button(), event->modifiers(), pos.x(), pos.y());
}

void TShadowLabel::mouseMoveEvent(QMouseEvent *event) {
  const QPoint pos = event->position().toPoint();
  callHandler(OnMouseMove, this, event->modifiers(), pos.x(), pos.y());
}

void TShadowLabel::mouseReleaseEvent(QMouseEvent *event) {
  const QPoint pos = event->position().toPoint();
  if (event->button() == Qt::LeftButton) {
    leftHeld_ = false;
    if (clicked_ && rect().contains(pos))
      callHandler(OnClick, this);
    clicked_ = false;
  }
  callHandler(OnMouseUp, this, event->button(), event->modifiers(), pos.x(), pos.y());
  updateMouseInside();
}

} // namespace vantor
