#include "controls/radiogroup.h"

#include "platform/handlerguard.h"

#include <QButtonGroup>
#include <QEvent>
#include <QProxyStyle>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>

#include <algorithm>

namespace vantor {
namespace {

// The choices sit in cells sized for a 13-pixel indicator with a few pixels
// before its caption; the toolkit's own style spends more on both.
class CompactChoiceStyle final : public QProxyStyle {
public:
  using QProxyStyle::QProxyStyle;
  int pixelMetric(PixelMetric metric, const QStyleOption *option,
                  const QWidget *widget) const override {
    switch (metric) {
    case PM_ExclusiveIndicatorWidth:
    case PM_ExclusiveIndicatorHeight:
      return TRadioGroup::kIndicatorSize;
    case PM_RadioButtonLabelSpacing:
      return TRadioGroup::kCaptionSpacing;
    default:
      return QProxyStyle::pixelMetric(metric, option, widget);
    }
  }
};

} // namespace

TRadioGroup::TRadioGroup(QWidget *parent)
    : QGroupBox(parent), group_(new QButtonGroup(this)), choiceStyle_(new CompactChoiceStyle) {
  choiceStyle_->setParent(this);
  group_->setExclusive(true);
  connect(group_, &QButtonGroup::idClicked, this, [this](int id) {
    itemIndex_ = id;
    callHandler(OnClick, this);
  });
}

TRadioGroup::~TRadioGroup() {
  // The buttons go before the style they are drawn with.
  qDeleteAll(buttons_);
}

void TRadioGroup::setItems(const QStringList &items) {
  qDeleteAll(buttons_);
  buttons_.clear();
  items_ = items;
  for (int i = 0; i < items_.size(); ++i) {
    auto *button = new QRadioButton(items_[i], this);
    button->setStyle(choiceStyle_);
    group_->addButton(button, i);
    buttons_.append(button);
    button->show();
  }
  setItemIndex(itemIndex_);
  layoutButtons();
}

void TRadioGroup::setItemIndex(int index) {
  if (index < -1)
    index = -1;
  if (index >= items_.size())
    index = static_cast<int>(items_.size()) - 1;
  itemIndex_ = index;
  if (index < 0) {
    // An exclusive group cannot show "nothing selected" without this dance.
    group_->setExclusive(false);
    for (QRadioButton *b : buttons_)
      b->setChecked(false);
    group_->setExclusive(true);
  } else {
    buttons_[index]->setChecked(true);
  }
}

void TRadioGroup::setColumns(int columns) {
  columns_ = qBound(1, columns, 16);
  layoutButtons();
}

void TRadioGroup::resizeEvent(QResizeEvent *event) {
  QGroupBox::resizeEvent(event);
  layoutButtons();
}

int TRadioGroup::captionRoom(int cellWidth, int cellHeight) const {
  // The part of a cell the style leaves for the caption beside the indicator.
  QStyleOptionButton option;
  option.initFrom(buttons_.front());
  option.rect = QRect(0, 0, cellWidth, cellHeight);
  return choiceStyle_->subElementRect(QStyle::SE_RadioButtonContents, &option, buttons_.front())
      .width();
}

QFont TRadioGroup::captionFont(int room) const {
  // The group's own font when every caption fits; else the largest smaller
  // size that fits them all, down to a still legible one.
  const auto fitsIn = [&](const QFont &font) {
    const QFontMetrics metrics(font);
    return std::all_of(buttons_.begin(), buttons_.end(), [&](const QRadioButton *button) {
      return metrics.horizontalAdvance(button->text()) <= room;
    });
  };
  QFont fitting = font();
  for (int size = QFontInfo(fitting).pixelSize(); size > kSmallestCaption && !fitsIn(fitting);)
    fitting.setPixelSize(--size);
  return fitting;
}

void TRadioGroup::changeEvent(QEvent *event) {
  QGroupBox::changeEvent(event);
  if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
    layoutButtons();
}

void TRadioGroup::layoutButtons() {
  if (buttons_.isEmpty())
    return;
  // Below the caption, as the style lays the group's contents out.
  QStyleOptionGroupBox option;
  initStyleOption(&option);
  const QRect area =
      style()
          ->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxContents, this)
          .adjusted(6, 0, -1, 0);
  const int rows = static_cast<int>((buttons_.size() + columns_ - 1) / columns_);
  const int colWidth = area.width() / columns_;
  const int rowHeight = rows ? area.height() / rows : area.height();
  const QFont captions = captionFont(captionRoom(colWidth, rowHeight));
  for (int i = 0; i < buttons_.size(); ++i) {
    if (buttons_[i]->font() != captions)
      buttons_[i]->setFont(captions);
    const int col = i / rows, row = i % rows;
    buttons_[i]->setGeometry(area.left() + col * colWidth, area.top() + row * rowHeight, colWidth,
                             rowHeight);
  }
}

} // namespace vantor
