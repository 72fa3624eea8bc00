#include "controls/rotarydial.h"

#include "platform/handlerguard.h"
#include "platform/sound.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace vantor {
namespace {

constexpr QColor kSilver{192, 192, 192};
constexpr QColor kKnobFace{182, 182, 182};
constexpr QColor kOuterRing{212, 212, 212};
constexpr QColor kShadow{144, 144, 144};
constexpr int kShadowWidth = 5;
constexpr int kKnobFaceInset = 7; // beyond the margin
constexpr int kHubInset = 27;
constexpr int kValueBoxRise = 20; // value box top, above the bottom edge

// Qt takes angles in sixteenths of a degree, counterclockwise as the dial's.
constexpr int sixteenths(int degrees) {
  return degrees * 16;
}

// The polar angle of a point seen from the centre, with y growing upward.
double radialAngle(QPointF centre, QPointF point) {
  return std::atan2(centre.y() - point.y(), point.x() - centre.x()) * 180.0 / std::numbers::pi;
}

} // namespace

TRotaryDial::TRotaryDial(QWidget *parent) : QWidget(parent) {
  resize(150, 150);
  // A press takes the focus; Tab does not stop here.
  setFocusPolicy(Qt::ClickFocus);
  updateLayout();
}

void TRotaryDial::setMax(int value) {
  if (value == max_)
    return;
  // Catalogues beyond the scale's 270 drawn steps share drawn steps, so only
  // a negative range is refused.
  if (value >= 0)
    max_ = value;
  updateLayout();
  update();
}

void TRotaryDial::setPosition(int value) {
  if (value == position_)
    return;
  const int clamped = std::clamp(value, kLowerBound, std::max(max_, kLowerBound));
  const bool changed = clamped != position_;
  const QRect oldValueBox = valueBoxRect();
  position_ = clamped;
  updateLayout();
  // Repainted now, not queued: the pointer has moved before the handler runs.
  repaint(QRegion(knobFaceRect()) + oldValueBox + valueBoxRect());
  if (changed)
    callHandler(OnChange, this);
  playChangeSound();
}

void TRotaryDial::setPrintValues(bool value) {
  if (value == printValues_)
    return;
  metrics_ = dial::metricsFor(value);
  printValues_ = value;
  updateLayout();
  update();
}

void TRotaryDial::setDrawTicks(bool value) {
  drawTicks_ = value;
  update();
}

void TRotaryDial::setColor(TColor value) {
  if (value == color_)
    return;
  color_ = value;
  update();
}

unsigned TRotaryDial::soundFlags() const {
  using namespace platform;
  unsigned flags = waveOptions_.contains(woSync) ? sndSync : sndAsync;
  if (waveOptions_.contains(woNoDefault))
    flags |= sndNoDefault;
  if (waveOptions_.contains(woLoop))
    flags |= sndLoop;
  if (waveOptions_.contains(woNoStop))
    flags |= sndNoStop;
  return flags;
}

void TRotaryDial::playChangeSound() {
  switch (soundType_) {
  case wssNone:
    return;
  case wssWav:
    platform::playSound({soundChange_, {}, soundFlags()});
    return;
  case wssExe:
    // A sound missing from the program is skipped: the change itself stands.
    if (const auto image = platform::embeddedSound(soundChange_, resourceType_))
      platform::playSound({{}, *image, soundFlags() | platform::sndMemory});
    return;
  }
}

void TRotaryDial::updateLayout() {
  layout_ = dial::stepLayout(max_, kLowerBound);
  pointer_ = dial::pointerAngles(layout_, position_, kLowerBound);
}

QRectF TRotaryDial::insetBox(int inset) const {
  // The box (k, k)-(Width - k, Height - k) with its far edges excluded.
  const int side = width() - 2 * inset - 1;
  return QRectF(inset, inset, side, side);
}

QRect TRotaryDial::knobFaceRect() const {
  return insetBox(metrics_.margin + kKnobFaceInset).toAlignedRect().adjusted(-1, -1, 1, 1);
}

QRect TRotaryDial::valueBoxRect() const {
  if (printValues_)
    return {};
  const QFontMetrics metrics = fontMetrics();
  const QString text = QString::number(position_);
  const int left = width() / 2 - 5;
  return QRect(left, width() - kValueBoxRise, metrics.horizontalAdvance(text) + 10,
               metrics.height());
}

void TRotaryDial::resizeEvent(QResizeEvent *event) {
  QWidget::resizeEvent(event);
  // The dial is always square, its height following its width.
  if (height() != width())
    resize(width(), width());
  updateLayout();
}

void TRotaryDial::paintEvent(QPaintEvent *) {
  QPainter painter(this);
  const QColor background = toQColor(color_);
  painter.fillRect(rect(), background);
  if (drawFocused_ && !printValues_ && hasFocus()) {
    painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
    painter.setBrush(background);
    painter.drawEllipse(insetBox(0));
  }
  if (drawTicks_)
    PaintScale(painter);
  PaintKnob(painter);
  PaintPointer(painter);
}

void TRotaryDial::PaintScale(QPainter &painter) {
  const QRectF tickBox = insetBox(metrics_.tickInset);
  const QRectF scaleBox = insetBox(metrics_.scaleInset);
  const QPointF middle = tickBox.center();
  const double outer = tickBox.width() / 2, inner = scaleBox.width() / 2;
  // Radial ticks between the scale circle and the tick circle, from the Max
  // end round to the lower-bound end; a fine scale ticks every few steps.
  auto drawTick = [&](int angle) {
    const double radians = angle * std::numbers::pi / 180.0;
    const QPointF direction(std::cos(radians), -std::sin(radians));
    painter.drawLine(middle + inner * direction, middle + outer * direction);
  };
  painter.setPen(QPen(Qt::black, 1));
  painter.setBrush(Qt::NoBrush);
  for (const int k : dial::tickedSteps(layout_)) {
    if (k == layout_.drawn)
      break; // the lower-bound end, drawn below with its own label
    const int tick = layout_.a1 + k * layout_.step;
    drawTick(tick);
    if (printValues_) {
      const int value = dial::firstPositionOf(layout_, layout_.drawn - k, kLowerBound);
      drawLabel(painter, tick, QString::number(value));
    }
  }
  drawTick(layout_.a2);
  if (printValues_)
    drawLabel(painter, layout_.a2, QString::number(kLowerBound));
  // The scale circle runs over the scale only, leaving the gap open.
  painter.drawArc(scaleBox, sixteenths(layout_.a1),
                  sixteenths(dial::counterclockwiseSpan(layout_.a1, layout_.a2)));
}

void TRotaryDial::drawLabel(QPainter &painter, int angle, const QString &text) {
  const QFontMetrics metrics = painter.fontMetrics();
  const QSize size(metrics.horizontalAdvance(text), metrics.height());
  const QPoint topLeft = dial::labelTopLeft(centre(), width(), metrics_.tickInset, angle, size);
  painter.save();
  painter.setPen(Qt::black);
  painter.setBackgroundMode(Qt::OpaqueMode);
  painter.setBackground(toQColor(color_));
  painter.drawText(QRect(topLeft, size), Qt::AlignLeft | Qt::AlignTop, text);
  painter.restore();
}

void TRotaryDial::PaintKnob(QPainter &painter) {
  const int margin = metrics_.margin;
  const int side = width();
  // Outer ring.
  painter.setPen(QPen(Qt::black, 1));
  painter.setBrush(kOuterRing);
  painter.drawEllipse(insetBox(margin + 2));
  // Shadow over the lower-right half of the ring.
  const QPointF middle = centre();
  const double from = radialAngle(middle, QPointF(margin + 5, side + margin + 5));
  const double to = radialAngle(middle, QPointF(side - margin - 5, -margin - 5));
  const double span = std::fmod(to - from + 720.0, 360.0);
  painter.setPen(QPen(kShadow, kShadowWidth));
  painter.setBrush(Qt::NoBrush);
  painter.drawArc(insetBox(margin + 5), qRound(from * 16), qRound(span * 16));
  // The ring's outline again, over the shadow.
  painter.setPen(QPen(Qt::black, 1));
  painter.drawEllipse(insetBox(margin + 2));
  // Knob face.
  painter.setPen(QPen(kSilver, 1));
  painter.setBrush(kKnobFace);
  painter.drawEllipse(insetBox(margin + kKnobFaceInset));
}

void TRotaryDial::PaintPointer(QPainter &painter) {
  const int margin = metrics_.margin;
  // The red wedge, one step wide (never narrower than a short scale's), then
  // the hub over its inner part.
  const dial::PointerAngles wedge = dial::drawnPointer(pointer_);
  painter.setPen(QPen(kSilver, 1));
  painter.setBrush(Qt::red);
  painter.drawPie(insetBox(margin + kKnobFaceInset), sixteenths(wedge.p2),
                  sixteenths(wedge.p1 - wedge.p2));
  painter.setBrush(kKnobFace);
  painter.drawEllipse(insetBox(margin + kHubInset));
  if (printValues_)
    return;
  // Value box below the knob.
  const QColor background = toQColor(color_);
  const QString text = QString::number(position_);
  const QRect box = valueBoxRect();
  painter.setPen(QPen(kSilver, 1));
  painter.setBrush(background);
  painter.drawRect(box.adjusted(0, 0, -1, -1));
  // The number sits in the middle of its frame, over the fill, so the
  // outline shows on every side of it.
  painter.setPen(Qt::black);
  painter.drawText(box, Qt::AlignCenter, text);
}

void TRotaryDial::mousePressEvent(QMouseEvent *event) {
  event->accept();
  setFocus(Qt::MouseFocusReason);
  const QPoint point = event->position().toPoint();
  const auto angle = dial::mouseAngle(centre(), point);
  if (!angle || !dial::drawnPointer(pointer_).contains(*angle))
    return; // the pointer must be grabbed; a press elsewhere never moves it
  dragging_ = event->button() == Qt::LeftButton && dial::inRing(centre(), metrics_.margin, point);
}

void TRotaryDial::mouseMoveEvent(QMouseEvent *event) {
  event->accept();
  const QPoint point = event->position().toPoint();
  // Leaving the control or touching the centre lets go of the pointer.
  if (!rect().contains(point) || point == centre()) {
    dragging_ = false;
    return;
  }
  if (!dragging_)
    return;
  const auto angle = dial::mouseAngle(centre(), point);
  if (const auto position = dial::positionAtAngle(layout_, *angle, max_, kLowerBound))
    setPosition(*position);
}

void TRotaryDial::mouseReleaseEvent(QMouseEvent *event) {
  event->accept();
  if (event->button() == Qt::LeftButton)
    dragging_ = false;
}

void TRotaryDial::leaveEvent(QEvent *event) {
  QWidget::leaveEvent(event);
  dragging_ = false;
}

void TRotaryDial::keyPressEvent(QKeyEvent *event) {
  // The key stays unconsumed, free to travel on to the parent.
  QWidget::keyPressEvent(event);
  switch (event->key()) {
  case Qt::Key_End:
    setPosition(max_);
    break;
  case Qt::Key_Home:
    setPosition(kLowerBound);
    break;
  case Qt::Key_Left:
    if (position_ > kLowerBound)
      setPosition(position_ - 1);
    break;
  case Qt::Key_Right:
    if (position_ < max_)
      setPosition(position_ + 1);
    break;
  default:
    break;
  }
}

void TRotaryDial::focusInEvent(QFocusEvent *event) {
  QWidget::focusInEvent(event);
  repaint(); // draw the focus ellipse now
}

void TRotaryDial::focusOutEvent(QFocusEvent *event) {
  QWidget::focusOutEvent(event);
  repaint();
}

} // namespace vantor
