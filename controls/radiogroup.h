#pragma once

#include "platform/events.h"

#include <QGroupBox>
#include <QStringList>
#include <functional>

class QButtonGroup;
class QStyle;
class QRadioButton;

namespace vantor {

// A captioned group of radio buttons laid out in columns filled top to bottom.
class TRadioGroup final : public QGroupBox {
  Q_OBJECT
  Q_PROPERTY(int ItemIndex READ itemIndex WRITE setItemIndex)
  Q_PROPERTY(int Columns READ columns WRITE setColumns)

public:
  explicit TRadioGroup(QWidget *parent = nullptr);
  ~TRadioGroup() override;

  void setItems(const QStringList &items);
  const QStringList &items() const { return items_; }

  int itemIndex() const { return itemIndex_; }
  // Below -1 selects nothing; past the end selects the last choice.
  void setItemIndex(int index);

  int columns() const { return columns_; }
  void setColumns(int columns);

  TNotifyEvent OnClick;

  // How the choices are drawn: the indicator's side and the gap before the
  // caption, and the smallest caption size a choice gets to fit its cell.
  static constexpr int kIndicatorSize = 13;
  static constexpr int kCaptionSpacing = 4;
  static constexpr int kSmallestCaption = 8;

  // The width a choice's caption can take in a cell of this size.
  int captionRoom(int cellWidth, int cellHeight) const;

protected:
  void resizeEvent(QResizeEvent *event) override;
  void changeEvent(QEvent *event) override;

private:
  void layoutButtons();
  QFont captionFont(int room) const;

  QStringList items_;
  QList<QRadioButton *> buttons_;
  QButtonGroup *group_;
  QStyle *choiceStyle_;
  int itemIndex_ = -1;
  int columns_ = 1;
};

} // namespace vantor
