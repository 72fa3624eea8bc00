#include "controls/valueslider.h"

#include "platform/errors.h"

#include <QFocusEvent>
#include <QPainter>
#include <QPolygon>
#include <algorithm>

static void initValueSliderResources() {
  static const bool done = [] {
    Q_INIT_RESOURCE(valueslider);
    return true;
  }();
  (void)done;
}

namespace vantor {
namespace {

constexpr int kBevelWidth = 1;
constexpr int kRepeatMs = 400;

QImage defaultImage(int index) {
  static const char *const names[4] = {":/slider/SLD_HTB", ":/slider/SLD_HRL", ":/slider/SLD_VTB",
                                       ":/slider/SLD_VRL"};
  return QImage(QString::fromLatin1(names[index]), "BMP");
}

} // namespace

TCustomValueSlider::TCustomValueSlider(QWidget *parent) : QWidget(parent) {
  initValueSliderResources();
  resize(150, 40);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true); // for the hand cursor over the thumb
  repeatTimer_.setInterval(kRepeatMs);
  connect(&repeatTimer_, &QTimer::timeout, this, [this] { repeatStep(); });
  for (int i = 0; i < 4; ++i)
    setImage(i, {});
  userImages_ = 0;
  constructing_ = false;
  layoutElements();
}

TCustomValueSlider::~TCustomValueSlider() {
  repeatTimer_.stop();
  OnChange = nullptr;
  OnChanged = nullptr;
  OnDrawPoints = nullptr;
}

slider::TrackGeometry TCustomValueSlider::geometryInfo() const {
  slider::TrackGeometry g;
  g.vertical = vertical();
  g.track = TrackArea();
  g.clientHeight = height();
  g.thumb = thumbRect_.toQRect().size();
  g.rulerLength = vertical() ? ruler_.height() : ruler_.width();
  g.minValue = min_;
  g.maxValue = max_;
  g.increment = increment_;
  g.smooth = options_.testFlag(soSmooth);
  return g;
}

TRect TCustomValueSlider::TrackArea() const {
  const TRect client{0, 0, width(), height()};
  return bevel_ != bvNone ? client.shrunk(kBevelWidth) : client;
}

const QImage &TCustomValueSlider::thumbImage() const {
  return images_[vertical() ? VThumb : HThumb];
}

const QImage &TCustomValueSlider::rulerImage() const {
  return images_[vertical() ? VRuler : HRuler];
}

void TCustomValueSlider::invalidateThumb() {
  update(thumbRect_.toQRect());
}

// --- properties ---------------------------------------------------------

void TCustomValueSlider::setValue(int v) {
  v = slider::clampToRange(v, min_, max_);
  const int old = value_;
  value_ = v;
  moveThumb(geometryInfo().valueToOffset(v));
  if (v != old)
    NotifyChange();
}

void TCustomValueSlider::setMinValue(int v) {
  if (v != min_)
    setRange(v, max_);
}

void TCustomValueSlider::setMaxValue(int v) {
  if (v != max_)
    setRange(min_, v);
}

void TCustomValueSlider::setRange(int min, int max) {
  if (max <= min && !reading_)
    return;
  min_ = min;
  max_ = max;
  if (!reading_ && std::int64_t(max) < std::int64_t(min) + increment_)
    increment_ = max - min;
  if (options_.testFlag(soShowPoints))
    update();
  setValue(value_);
}

void TCustomValueSlider::setIncrement(int v) {
  const std::int64_t range = std::int64_t(max_) - min_;
  if (!reading_ && (v < 1 || v > range))
    throw Error(QStringLiteral("Value must be between %1 and %2").arg(1).arg(range));
  if (v > 0 && v != increment_) {
    increment_ = v;
    setValue(value_);
    update();
  }
}

void TCustomValueSlider::setOptions(TSliderOptions options) {
  if (options != options_)
    options_ = options;
  update();
}

void TCustomValueSlider::setBevelStyle(TPanelBevel bevel) {
  if (bevel == bevel_)
    return;
  bevel_ = bevel;
  Relayout();
  if (isVisible())
    repaint();
}

void TCustomValueSlider::setOrientation(TSliderOrientation orientation) {
  if (orientation == orientation_)
    return;
  orientation_ = orientation;
  Relayout();
  fitThumb();
  if (!reading_)
    resize(height(), width()); // the control turns
}

void TCustomValueSlider::setNumThumbStates(int n) {
  n = std::clamp(n, 1, 2);
  if (n == numThumbStates_)
    return;
  numThumbStates_ = n;
  fitThumb();
}

void TCustomValueSlider::setEdgeSize(int v) {
  const int length = vertical() ? images_[VRuler].height() : images_[HRuler].width();
  // A negative edge would copy from outside the picture.
  if (v < 0 || 2 * std::int64_t(v) >= length || v == edgeSize_)
    return;
  edgeSize_ = v;
  Relayout();
}

void TCustomValueSlider::setColor(TColor color) {
  parentColor_ = false;
  if (color == color_)
    return;
  color_ = color;
  update();
}

void TCustomValueSlider::setParentColor(bool on) {
  if (on == parentColor_)
    return;
  parentColor_ = on;
  update();
}

void TCustomValueSlider::setTabStop(bool on) {
  setFocusPolicy(on ? Qt::StrongFocus : Qt::ClickFocus);
}

QColor TCustomValueSlider::backgroundColor() const {
  if (parentColor_ && parentWidget())
    return parentWidget()->palette().color(parentWidget()->backgroundRole());
  return toQColor(color_);
}

void TCustomValueSlider::setImage(int index, const QImage &image) {
  if (index < 0 || index > 3)
    return;
  if (!image.isNull()) {
    images_[index] = image.copy();
    userImages_ |= 1 << index;
  } else {
    images_[index] = defaultImage(index);
    userImages_ &= ~(1 << index);
  }
  if (index == HThumb || index == VThumb) {
    invalidateThumb();
    if (index == (vertical() ? VThumb : HThumb))
      fitThumb();
  }
  if (!constructing_)
    Relayout();
}

void TCustomValueSlider::beginReading() {
  reading_ = true;
}

void TCustomValueSlider::endReading() {
  reading_ = false;
  bool applied = false;
  for (int i = 0; i < 4; ++i)
    if (userImages_ & (1 << i)) {
      setImage(i, QImage(images_[i]));
      applied = true;
    }
  if (!applied)
    Relayout();
}

// --- layout -------------------------------------------------------------

void TCustomValueSlider::fitThumb() {
  const QImage &img = thumbImage();
  thumbRect_.setSize(img.width() / numThumbStates_, img.height());
  prepareThumbPictures();
  setValue(value_);
}

void TCustomValueSlider::prepareThumbPictures() {
  const QImage &img = thumbImage();
  const int tw = img.width() / numThumbStates_;
  for (int state = 0; state < 2; ++state) {
    const int column = numThumbStates_ == 2 ? state : 0;
    const QImage part = img.copy(column * tw, 0, tw, img.height());
    thumbStates_[state] =
        part.isNull() ? QImage() : slider::withTransparency(part, slider::transparentColor(part));
  }
}

void TCustomValueSlider::buildRulerBitmap() {
  const int length = slider::rulerLength(TrackArea(), vertical());
  ruler_ = slider::buildRuler(rulerImage(), vertical(), length, edgeSize_);
  if (ruler_.isNull() || ruler_.width() == 0 || ruler_.height() == 0)
    rulerDrawable_ = QImage();
  else
    rulerDrawable_ = slider::withTransparency(ruler_, slider::transparentColor(ruler_));
}

void TCustomValueSlider::layoutElements() {
  const int remembered = value_;
  buildRulerBitmap();
  const QImage &img = thumbImage();
  const QSize thumb(img.width() / numThumbStates_, img.height());
  const slider::ElementLayout placed =
      slider::layoutElements(TrackArea(), vertical(), thumb, ruler_.size());
  rulerPos_ = placed.ruler;
  marksTop_ = placed.marksTop;
  marksLeft_ = placed.marksLeft;
  thumbRect_ = {placed.thumb.x(), placed.thumb.y(), placed.thumb.x() + thumb.width(),
                placed.thumb.y() + thumb.height()};
  setValue(remembered);
}

void TCustomValueSlider::Relayout() {
  layoutElements();
  update();
}

void TCustomValueSlider::moveThumb(int p) {
  const slider::TrackGeometry g = geometryInfo();
  p = g.snapOffset(p);
  invalidateThumb();
  if (vertical())
    thumbRect_.moveTopTo(p);
  else
    thumbRect_.moveLeftTo(p);
  invalidateThumb();
  if (tracking_) {
    const int before = value_;
    value_ = g.offsetToValue(p);
    if (value_ != before)
      NotifyChange();
  }
}

// --- painting -----------------------------------------------------------

void TCustomValueSlider::paintEvent(QPaintEvent *) {
  QPainter painter(this);
  const QColor background = backgroundColor();
  painter.save();
  painter.setClipRegion(QRegion(rect()) - QRegion(thumbRect_.toQRect()));

  TRect r{0, 0, width(), height()};
  if (bevel_ != bvNone && r.width() > 0 && r.height() > 0) {
    const QColor shadow = toQColor(clBtnShadow);
    const QColor light = toQColor(clBtnHighlight);
    const QColor topLeft = bevel_ == bvLowered ? shadow : light;
    const QColor bottomRight = bevel_ == bvLowered ? light : shadow;
    painter.fillRect(0, 0, r.width() - 1, 1, topLeft);
    painter.fillRect(0, 0, 1, r.height() - 1, topLeft);
    painter.fillRect(0, r.height() - 1, r.width(), 1, bottomRight);
    painter.fillRect(r.width() - 1, 0, 1, r.height(), bottomRight);
    r = r.shrunk(1);
  }
  painter.fillRect(r.toQRect(), background);

  if (!rulerDrawable_.isNull())
    painter.drawImage(rulerPos_, rulerDrawable_);

  if (options_.testFlag(soShowFocus) && focused_) {
    const QRect f = TrackArea().shrunk(2).toQRect();
    if (f.width() > 0 && f.height() > 0) {
      // Every other pixel of the outline, inverted: a dotted XOR frame.
      QPolygon dots;
      const auto dot = [&](int x, int y) {
        if ((x + y) % 2 == 0)
          dots << QPoint(x, y);
      };
      for (int x = f.left(); x <= f.right(); ++x) {
        dot(x, f.top());
        if (f.bottom() != f.top())
          dot(x, f.bottom());
      }
      for (int y = f.top() + 1; y < f.bottom(); ++y) {
        dot(f.left(), y);
        if (f.right() != f.left())
          dot(f.right(), y);
      }
      painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
      painter.setPen(Qt::white);
      painter.drawPoints(dots);
      painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
  }

  if (options_.testFlag(soShowPoints)) {
    canvas_ = &painter;
    // A failure while painting is dropped: a box would return with every repaint.
    if (OnDrawPoints)
      callHandlerQuietly(OnDrawPoints, this);
    else
      PaintMarks(increment_, 3, 5);
    canvas_ = nullptr;
  }
  painter.restore();

  const QRect thumb = thumbRect_.toQRect();
  painter.fillRect(thumb, background);
  const QImage &state = thumbStates_[(pressed_ || !isEnabled()) ? 1 : 0];
  if (!state.isNull())
    painter.drawImage(thumb.topLeft(), state);
}

void TCustomValueSlider::PaintMarks(int step, int markLength, int endMarkLength) {
  if (!canvas_)
    return;
  const slider::TrackGeometry g = geometryInfo();
  const int range = max_ - min_;
  const slider::MarkStride stride = slider::markStride(range, step, g.travel());
  canvas_->setPen(toQColor(clWindowText));
  const std::int64_t stepK = std::int64_t(step) * stride.k;
  for (int i = 0; i <= stride.n; ++i) {
    const int v = i == stride.n ? max_ : slider::clampToRange(min_ + stepK * i, min_, max_);
    const int length = (v == min_ || v == max_) ? endMarkLength : markLength;
    if (length <= 0)
      continue;
    if (!vertical()) {
      const int x = g.valueToOffset(v) + g.thumb.width() / 2;
      canvas_->drawLine(x, marksTop_, x, marksTop_ + length - 1);
    } else {
      const int y = g.valueToOffset(v) + g.thumb.height() / 2;
      canvas_->drawLine(marksLeft_, y, marksLeft_ + length - 1, y);
    }
  }
}

// --- state changes ------------------------------------------------------

void TCustomValueSlider::focusChanged(bool focused) {
  if (focused == focused_)
    return;
  focused_ = focused;
  if (options_.testFlag(soShowFocus))
    update();
}

void TCustomValueSlider::focusInEvent(QFocusEvent *event) {
  focusChanged(true);
  QWidget::focusInEvent(event);
}

void TCustomValueSlider::focusOutEvent(QFocusEvent *event) {
  focusChanged(false);
  QWidget::focusOutEvent(event);
}

void TCustomValueSlider::changeEvent(QEvent *event) {
  QWidget::changeEvent(event);
  switch (event->type()) {
  case QEvent::EnabledChange:
    invalidateThumb();
    break;
  case QEvent::ParentChange:
  case QEvent::PaletteChange:
    update();
    break;
  default:
    break;
  }
}

void TCustomValueSlider::resizeEvent(QResizeEvent *event) {
  QWidget::resizeEvent(event);
  if (!reading_)
    Relayout();
}

bool TValueSlider::event(QEvent *e) {
  if (e->type() == QEvent::ToolTip && !showHint_) {
    e->ignore();
    return true;
  }
  return TCustomValueSlider::event(e);
}

} // namespace vantor
