#include "shadowlabel.h"

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
  if (m_focusControl)
    m_focusControl->removeEventFilter(this);
}

void TShadowLabel::setCaption(const QString &caption) {
  if (caption == m_caption)
    return;
  m_caption = caption;
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
  if (color == m_fontColor)
    return;
  m_fontColor = color;
  update();
}

void TShadowLabel::setAlignment(TAlignment alignment) {
  if (alignment == m_alignment)
    return;
  m_alignment = alignment;
  update();
}

void TShadowLabel::setAutoSize(bool autoSize) {
  if (autoSize == m_autoSize)
    return;
  m_autoSize = autoSize;
  adjustBounds();
}

void TShadowLabel::setLayout(TTextLayout layout) {
  if (layout == m_layout)
    return;
  m_layout = layout;
  update();
}

void TShadowLabel::setWordWrap(bool wordWrap) {
  if (wordWrap == m_wordWrap)
    return;
  m_wordWrap = wordWrap;
  adjustBounds();
  update();
}

void TShadowLabel::setTransparent(bool transparent) {
  if (transparent == m_transparent)
    return;
  m_transparent = transparent;
  // Only an opaque label paints every pixel; a transparent one lets Qt
  // paint what lies behind it first.
  setAttribute(Qt::WA_OpaquePaintEvent, !transparent);
  update();
}

void TShadowLabel::setShadowColor(TColor color) {
  if (color == m_shadowColor)
    return;
  m_shadowColor = color;
  update();
}

void TShadowLabel::setShadowSize(std::uint8_t size) {
  if (size == m_shadowSize)
    return;
  m_shadowSize = size;
  adjustBounds();
  update();
}

void TShadowLabel::setShadowPos(TShadowPosition position) {
  if (position == m_shadowPos)
    return;
  m_shadowPos = position;
  update();
}

void TShadowLabel::setShowAccelChar(bool show) {
  if (show == m_showAccelChar)
    return;
  m_showAccelChar = show;
  update();
  updateShortcut();
}

void TShadowLabel::setShowFocus(bool show) {
  if (show == m_showFocus)
    return;
  m_showFocus = show;
  update();
}

void TShadowLabel::setFocusControl(QWidget *control) {
  if (control == m_focusControl)
    return;
  if (m_focusControl) {
    m_focusControl->removeEventFilter(this);
    disconnect(m_focusControl, &QObject::destroyed, this, nullptr);
  }
  m_focusControl = control;
  if (control) {
    // Focus changes of the control decide whether the focus rectangle shows.
    control->installEventFilter(this);
    connect(control, &QObject::destroyed, this, &TShadowLabel::forgetFocusControl);
  }
  updateShortcut();
  if (m_showFocus)
    update();
}

void TShadowLabel::forgetFocusControl() {
  m_focusControl = nullptr;
  updateShortcut();
  if (m_showFocus)
    update();
}

void TShadowLabel::setColor(TColor color) {
  if (color == m_color && !m_parentColor)
    return;
  m_color = color;
  m_parentColor = false;
  update();
}

void TShadowLabel::setParentColor(bool parentColor) {
  if (parentColor == m_parentColor)
    return;
  m_parentColor = parentColor;
  update();
}

QColor TShadowLabel::effectiveColor() const {
  if (m_parentColor && parentWidget())
    return parentWidget()->palette().color(parentWidget()->backgroundRole());
  return toQColor(m_color);
}

TShadowLabel::PassStyle TShadowLabel::passStyle() const {
  PassStyle style{toQColor(m_fontColor), toQColor(m_shadowColor),
                  shadowOffset(m_shadowPos, m_shadowSize)};
  if (!isEnabled()) {
    style.text = toQColor(clGrayText);
    style.shadow = toQColor(clBtnHighlight);
    // Without a shadow of its own a disabled label looks engraved.
    if (m_shadowSize == 0)
      style.offset = shadowOffset(spRightBottom, 1);
  }
  return style;
}

QRect TShadowLabel::textPass(QPainter *painter, const QRect &rect, int flags) const {
  const PassStyle style = passStyle();
  const QRect shadowRect = rect.translated(style.offset);
  if (!painter) {
    const QFontMetrics metrics(font());
    const QString text = measuredText(m_caption, m_showAccelChar);
    return boundingUnion(measure(metrics, shadowRect, flags, text),
                         measure(metrics, rect, flags, text));
  }
  painter->setFont(font());
  // A shadow on the text's own pixels would only tint the glyph edges.
  if (!style.offset.isNull()) {
    painter->setPen(style.shadow);
    painter->drawText(shadowRect, flags, m_caption);
  }
  painter->setPen(style.text);
  painter->drawText(rect, flags, m_caption);
  return boundingUnion(shadowRect, rect);
}

QSize TShadowLabel::fittedSize() const {
  const QRect client(1, 0, width() - 2, height());
  const int flags = drawFlags(taLeftJustify, m_wordWrap, m_showAccelChar);
  const QRect measured = textPass(nullptr, client, flags);
  // One pixel more on each side; the size reaches the measured right and bottom.
  const int right = measured.x() + measured.width() + 1;
  const int bottom = measured.y() + measured.height();
  return QSize(std::max(0, right), std::max(0, bottom));
}

void TShadowLabel::adjustBounds() {
  if (!m_autoSize)
    return;
  const QSize size = fittedSize();
  int left = x();
  if (m_alignment == taRightJustify)
    left += width() - size.width(); // the right edge stays put
  setGeometry(left, y(), size.width(), size.height());
}

void TShadowLabel::paintEvent(QPaintEvent *) {
  if (!isEnabled())
    m_leftHeld = false;
  QPainter painter(this);
  if (!m_transparent)
    painter.fillRect(rect(), effectiveColor());

  QRect textRect(1, 0, width() - 2, height());
  const int flags = drawFlags(m_alignment, m_wordWrap, m_showAccelChar);
  if (m_layout != tlTop) {
    const QRect measured = textPass(nullptr, textRect, flags);
    const int shift = layoutShift(m_layout, height(), measured.y() + measured.height());
    textRect = QRect(0, measured.y() + shift, width(), measured.height());
  }
  QRect drawn = textPass(&painter, textRect, flags);

  if (m_showFocus && m_focusControl && m_focusControl->hasFocus()) {
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
    if (m_shortcutId != 0 && shortcut->shortcutId() == m_shortcutId) {
      dialogChar(accelChar(m_caption));
      return true;
    }
  }
  return QWidget::event(event);
}

bool TShadowLabel::dialogChar(QChar key) {
  if (!m_focusControl || !isEnabled() || !m_showAccelChar || !isAccel(key, m_caption))
    return false;
  QWidget *target = m_focusControl;
  if (!target->isVisible() || !target->isEnabled() || target->focusPolicy() == Qt::NoFocus)
    return false;
  target->setFocus(Qt::ShortcutFocusReason);
  return true;
}

void TShadowLabel::updateShortcut() {
  if (m_shortcutId != 0) {
    releaseShortcut(m_shortcutId);
    m_shortcutId = 0;
  }
  if (!m_focusControl || !m_showAccelChar)
    return;
  const QKeySequence sequence = QKeySequence::mnemonic(m_caption);
  if (!sequence.isEmpty())
    m_shortcutId = grabShortcut(sequence);
}

bool TShadowLabel::eventFilter(QObject *watched, QEvent *event) {
  if (watched == m_focusControl &&
      (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) && m_showFocus)
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
  if (!m_mouseInside && isEnabled() && QApplication::activeWindow())
    setMouseInside(true);
}

void TShadowLabel::leaveEvent(QEvent *event) {
  QWidget::leaveEvent(event);
  // The left button pressed here keeps the label entered until released.
  if (m_mouseInside && !m_leftHeld)
    setMouseInside(false);
}

void TShadowLabel::setMouseInside(bool inside) {
  if (inside == m_mouseInside)
    return;
  m_mouseInside = inside;
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
    m_leftHeld = true;
    m_clicked = true;
  }
  const QPoint pos = event->position().toPoint();
  callHandler(OnMouseDown, this, event->button(), event->modifiers(), pos.x(), pos.y());
  if (event->button() == Qt::RightButton)
    updateMouseInside();
}

void TShadowLabel::mouseDoubleClickEvent(QMouseEvent *event) {
  if (event->button() == Qt::LeftButton) {
    m_leftHeld = true;
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
    m_leftHeld = false;
    if (m_clicked && rect().contains(pos))
      callHandler(OnClick, this);
    m_clicked = false;
  }
  callHandler(OnMouseUp, this, event->button(), event->modifiers(), pos.x(), pos.y());
  updateMouseInside();
}

} // namespace vantor
