#include "settings/comboedit.h"

#include "platform/handlerguard.h"

#include <QKeyEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>
#include <algorithm>

static void initComboEditResources() {
  static const bool done = [] {
    Q_INIT_RESOURCE(comboedit);
    return true;
  }();
  (void)done;
}

namespace vantor {

QImage ellipsisGlyph(int buttonWidth) {
  const int width = std::max(buttonWidth - 6, 1);
  QImage img(width, 4, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  const int gap = std::clamp((width - 6) / 2, 1, 3);
  const int group = 3 * 2 + 2 * gap;
  const int start = (width - group) / 2;
  for (int dot = 0; dot < 3; ++dot) {
    const int x0 = start + dot * (2 + gap);
    for (int x = x0; x < x0 + 2; ++x)
      for (int y = 1; y < 3; ++y)
        if (x >= 0 && x < width)
          img.setPixel(x, y, qRgb(0, 0, 0));
  }
  return img;
}

QRect comboButtonGeometry(QSize field, int buttonWidth) {
  // With the sunken frame the client area starts 2 pixels in, so the
  // client's x = width - button - 4, y = 0 is this point of the widget; a
  // frameless field puts the button at the same place.
  const int height = std::max(field.height() - 4, 0);
  return QRect(field.width() - buttonWidth - 2, 2, std::max(buttonWidth, 0), height);
}

// --- TEditButton --------------------------------------------------------

TEditButton::TEditButton(QWidget *parent) : QAbstractButton(parent) {
  setFocusPolicy(Qt::NoFocus);
  setCursor(Qt::ArrowCursor);
}

void TEditButton::setGlyph(const QImage &glyph, int numGlyphs) {
  glyph_ = glyph;
  numGlyphs_ = std::max(numGlyphs, 1);
  dropDown_ = false;
  update();
}

void TEditButton::setDropDownArrow(bool on) {
  dropDown_ = on;
  if (on)
    glyph_ = QImage();
  update();
}

void TEditButton::paintEvent(QPaintEvent *) {
  QPainter painter(this);
  QStyleOptionButton option;
  option.initFrom(this);
  option.state |= isDown() ? QStyle::State_Sunken : QStyle::State_Raised;
  style()->drawPrimitive(QStyle::PE_PanelButtonCommand, &option, &painter, this);
  const QPoint shift = isDown() ? QPoint(1, 1) : QPoint(0, 0);
  if (dropDown_) {
    QStyleOption arrow = option;
    arrow.rect = rect().adjusted(4, 4, -4, -4).translated(shift);
    style()->drawPrimitive(QStyle::PE_IndicatorArrowDown, &arrow, &painter, this);
    return;
  }
  if (glyph_.isNull())
    return;
  // Frames side by side: normal, then disabled when the picture has one.
  const int frameWidth = glyph_.width() / numGlyphs_;
  const int frame = (!isEnabled() && numGlyphs_ > 1) ? 1 : 0;
  const QRect source(frame * frameWidth, 0, frameWidth, glyph_.height());
  const QPoint at((width() - frameWidth) / 2, (height() - glyph_.height()) / 2);
  painter.drawImage(at + shift, glyph_, source);
}

// --- TCustomComboEdit ---------------------------------------------------

TCustomComboEdit::TCustomComboEdit(QWidget *parent)
    : QLineEdit(parent), button_(new TEditButton(this)) {
  initComboEditResources();
  connect(this, &QLineEdit::textChanged, this, [this] { callHandler(OnChange, this); });
  connect(button_, &QAbstractButton::pressed, this, [this] {
    if (canTakeFocus())
      setFocus(Qt::MouseFocusReason);
  });
  connect(button_, &QAbstractButton::clicked, this, [this] {
    // A failed handler ends the click; the chooser does not open.
    if (callHandler(OnButtonClick, this))
      buttonClick();
  });
  updateGlyph();
  updateLayout();
}

bool TCustomComboEdit::canTakeFocus() const {
  return isVisible() && isEnabled() && focusPolicy() != Qt::NoFocus;
}

void TCustomComboEdit::setButtonWidth(int width) {
  width = std::max(width, 0);
  if (width == buttonWidth_)
    return;
  buttonWidth_ = width;
  updateGlyph();
  updateLayout();
}

void TCustomComboEdit::setGlyphKind(TGlyphKind kind) {
  if (kind == glyphKind_)
    return;
  glyphKind_ = kind;
  updateGlyph();
}

void TCustomComboEdit::setGlyph(const QImage &glyph) {
  glyph_ = glyph;
  glyphKind_ = gkCustom;
  updateGlyph();
}

void TCustomComboEdit::setNumGlyphs(int n) {
  numGlyphs_ = std::clamp(n, 1, 4);
  updateGlyph();
}

void TCustomComboEdit::setCtl3D(bool on) {
  if (on == ctl3D_)
    return;
  ctl3D_ = on;
  setFrame(on);
  updateLayout();
}

void TCustomComboEdit::updateGlyph() {
  switch (glyphKind_) {
  case gkEllipsis:
    button_->setGlyph(ellipsisGlyph(buttonWidth_), 1);
    break;
  case gkDropDown:
    button_->setDropDownArrow(true);
    break;
  case gkDefault: {
    QImage img(QStringLiteral(":/editbutton/FEDITBMP"), "BMP");
    QImage shown = img.convertToFormat(QImage::Format_ARGB32);
    if (!img.isNull()) {
      const QRgb key = img.pixel(0, img.height() - 1) & 0xFFFFFF;
      for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
          if ((shown.pixel(x, y) & 0xFFFFFF) == key)
            shown.setPixel(x, y, 0);
    }
    button_->setGlyph(shown, 1);
    break;
  }
  case gkCustom:
    button_->setGlyph(glyph_, numGlyphs_);
    break;
  }
}

void TCustomComboEdit::updateLayout() {
  const QRect r = comboButtonGeometry(size(), buttonWidth_);
  button_->setGeometry(r);
  button_->setVisible(buttonWidth_ > 0);
  // The text ends 2 pixels left of the button.
  setTextMargins(0, 0, buttonWidth_ > 0 ? buttonWidth_ + 2 : 0, 0);
}

void TCustomComboEdit::resizeEvent(QResizeEvent *event) {
  QLineEdit::resizeEvent(event);
  updateLayout();
}

void TCustomComboEdit::changeEvent(QEvent *event) {
  QLineEdit::changeEvent(event);
  if (event->type() == QEvent::StyleChange || event->type() == QEvent::FontChange)
    updateLayout();
}

void TCustomComboEdit::doClick() {
  if (buttonWidth_ > 0)
    button_->click();
}

void TCustomComboEdit::keyPressEvent(QKeyEvent *event) {
  if (buttonWidth_ > 0 && !clickKey_.isEmpty() &&
      QKeyCombination(event->modifiers() & ~Qt::KeypadModifier, Qt::Key(event->key())) ==
          clickKey_[0]) {
    event->accept();
    doClick();
    return;
  }
  QLineEdit::keyPressEvent(event);
}

} // namespace vantor
