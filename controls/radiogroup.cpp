#include "radiogroup.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionGroupBox>

namespace vantor {

TRadioGroup::TRadioGroup(QWidget *parent) : QGroupBox(parent), group_(new QButtonGroup(this)) {
  group_->setExclusive(true);
  connect(group_, &QButtonGroup::idClicked, this, [this](int id) {
    itemIndex_ = id;
    if (OnClick)
      OnClick(this);
  });
}

void TRadioGroup::setItems(const QStringList &items) {
  qDeleteAll(buttons_);
  buttons_.clear();
  items_ = items;
  for (int i = 0; i < items_.size(); ++i) {
    auto *button = new QRadioButton(items_[i], this);
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
  for (int i = 0; i < buttons_.size(); ++i) {
    const int col = i / rows, row = i % rows;
    buttons_[i]->setGeometry(area.left() + col * colWidth, area.top() + row * rowHeight, colWidth,
                             rowHeight);
  }
}

} // namespace vantor
