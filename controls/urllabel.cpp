#include "controls/urllabel.h"

#include "controls/parentwatch.h"
#include "platform/handlerguard.h"
#include "platform/shellopen.h"

#include <QEvent>
#include <QMouseEvent>

namespace vantor {
namespace {

Qt::Alignment qtAlignment(TAlignment alignment) {
  switch (alignment) {
  case taRightJustify:
    return Qt::AlignRight | Qt::AlignTop;
  case taCenter:
    return Qt::AlignHCenter | Qt::AlignTop;
  case taLeftJustify:
    break;
  }
  return Qt::AlignLeft | Qt::AlignTop;
}

} // namespace

TURLLabel::TURLLabel(QWidget *parent) : QLabel(parent) {
  setTextFormat(Qt::PlainText);
  setAlignment(qtAlignment(textAlignment_));
  setAutoFillBackground(true);
  setCursor(Qt::PointingHandCursor);
  setFontColor(urlColStd_);
  setUnderlineOnly(true);
}

QString TURLLabel::prefixOf(TLabelType type) {
  switch (type) {
  case hmHTTP:
    return QStringLiteral("http:\\\\");
  case hmMAIL:
    return QStringLiteral("mailto:");
  case hmFTP:
    return QStringLiteral("ftp:\\\\");
  case hmCUSTOM:
    break;
  }
  return {};
}

QString TURLLabel::target() const {
  return labelType_ == hmCUSTOM ? QString() : prefixOf(labelType_) + caption();
}

void TURLLabel::setLabelType(TLabelType value) {
  if (value == labelType_)
    return;
  labelType_ = value;
  setUnderlineOnly(value != hmCUSTOM && !effect98_);
  update();
}

void TURLLabel::setURLColStd(TColor value) {
  if (value == urlColStd_)
    return;
  urlColStd_ = value;
  setFontColor(value);
}

void TURLLabel::setURLColPre(TColor value) {
  if (value == urlColPre_)
    return;
  urlColPre_ = value;
  update();
}

void TURLLabel::setAllowDown(bool value) {
  if (value == allowDown_)
    return;
  allowDown_ = value;
  update();
}

void TURLLabel::setEffect98(bool value) {
  if (value == effect98_)
    return;
  effect98_ = value;
  if (value)
    setUnderlineOnly(false);
  else if (labelType_ != hmCUSTOM)
    setUnderlineOnly(true);
  update();
}

void TURLLabel::setCaption(const QString &value) {
  if (value == text())
    return;
  setText(value);
  adjustBounds();
}

void TURLLabel::setWordWrap(bool value) {
  if (value == wordWrap())
    return;
  QLabel::setWordWrap(value);
  adjustBounds();
}

void TURLLabel::setAlign(TAlign value) {
  if (value == align_)
    return;
  align_ = value;
  followParent();
}

void TURLLabel::setLinkFont(const LinkFont &value) {
  parentFont_ = false;
  setFont(value.face);
  setFontColor(value.color);
  urlColStd_ = value.color;
}

void TURLLabel::setAutoSize(bool value) {
  if (value == autoSize_)
    return;
  autoSize_ = value;
  adjustBounds();
}

void TURLLabel::setTextAlignment(TAlignment value) {
  if (value == textAlignment_)
    return;
  textAlignment_ = value;
  setAlignment(qtAlignment(value));
}

void TURLLabel::setParentFont(bool value) {
  if (value == parentFont_)
    return;
  parentFont_ = value;
  const QFont current = font();
  if (value) {
    // Only the style stays the label's own; face and size follow the parent.
    QFont styleOnly;
    styleOnly.setWeight(current.weight());
    styleOnly.setItalic(current.italic());
    styleOnly.setUnderline(current.underline());
    styleOnly.setStrikeOut(current.strikeOut());
    setFont(styleOnly);
  } else {
    setFont(current);
  }
}

void TURLLabel::setTransparent(bool value) {
  if (value == transparent())
    return;
  setAutoFillBackground(!value);
  update();
}

void TURLLabel::setHint(const QString &value) {
  hint_ = value;
  setToolTip(showHint_ ? hint_ : QString());
}

void TURLLabel::setShowHint(bool value) {
  showHint_ = value;
  setToolTip(showHint_ ? hint_ : QString());
}

void TURLLabel::setFontColor(TColor color) {
  fontColor_ = color;
  QPalette p = palette();
  p.setColor(QPalette::WindowText, toQColor(color));
  setPalette(p);
  update();
}

void TURLLabel::setUnderlineOnly(bool underline) {
  // A label following its parent's font only claims the style attributes.
  QFont f = parentFont_ ? QFont() : font();
  f.setWeight(QFont::Normal);
  f.setItalic(false);
  f.setUnderline(underline);
  f.setStrikeOut(false);
  setFont(f);
}

void TURLLabel::enterEvent(QEnterEvent *event) {
  QLabel::enterEvent(event);
  if (!effect98_)
    return;
  setFontColor(urlColPre_);
  if (labelType_ != hmCUSTOM)
    setUnderlineOnly(true);
}

void TURLLabel::leaveEvent(QEvent *event) {
  QLabel::leaveEvent(event);
  if (!effect98_)
    return;
  setFontColor(urlColStd_);
  if (labelType_ != hmCUSTOM)
    setUnderlineOnly(false);
}

// The base label ignores presses, which would hand the release to the
// parent; the link keeps both.
void TURLLabel::mousePressEvent(QMouseEvent *event) {
  event->accept();
  if (event->button() != Qt::LeftButton)
    return;
  clicked_ = true;
  if (allowDown_)
    move(x(), y() + 1);
  setFontColor(urlColPre_);
}

void TURLLabel::mouseReleaseEvent(QMouseEvent *event) {
  event->accept();
  const bool left = event->button() == Qt::LeftButton;
  QPointer<TURLLabel> self(this);
  if (left && clicked_) {
    clicked_ = false;
    if (rect().contains(event->position().toPoint()))
      click();
    if (!self)
      return; // the click closed the window that owned the label
  }
  if (!effect98_)
    setFontColor(urlColStd_);
  if (allowDown_ && left)
    move(x(), y() - 1);
}

void TURLLabel::click() {
  QPointer<TURLLabel> self(this);
  if (!callHandler(OnClick, this) || !self)
    return;
  if (labelType_ == hmCUSTOM)
    return;
  runGuarded([&] { platform::shellOpen(target()); });
}

void TURLLabel::changeEvent(QEvent *event) {
  QLabel::changeEvent(event);
  if (event->type() == QEvent::FontChange)
    adjustBounds();
  else if (event->type() == QEvent::ParentChange)
    followParent();
}

bool TURLLabel::eventFilter(QObject *watched, QEvent *event) {
  if (watched == watchedParent_ && event->type() == QEvent::Resize)
    followParent();
  return QLabel::eventFilter(watched, event);
}

void TURLLabel::adjustBounds() {
  if (!autoSize_)
    return;
  if (wordWrap())
    resize(width(), heightForWidth(width()));
  else
    resize(sizeHint());
  followParent();
}

void TURLLabel::followParent() {
  watchParent(this, watchedParent_);
  QWidget *p = parentWidget();
  if (!p || align_ == alNone)
    return;
  const QRect area = p->rect();
  switch (align_) {
  case alTop:
    setGeometry(0, 0, area.width(), height());
    break;
  case alBottom:
    setGeometry(0, area.height() - height(), area.width(), height());
    break;
  case alLeft:
    setGeometry(0, 0, width(), area.height());
    break;
  case alRight:
    setGeometry(area.width() - width(), 0, width(), area.height());
    break;
  case alClient:
    setGeometry(area);
    break;
  case alNone:
    break;
  }
}

} // namespace vantor
