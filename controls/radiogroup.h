#pragma once

#include <QGroupBox>
#include <QStringList>
#include <functional>

class QButtonGroup;
class QRadioButton;

namespace vantor {

// A captioned group of radio buttons laid out in columns filled top to bottom.
class TRadioGroup final : public QGroupBox {
  Q_OBJECT
  Q_PROPERTY(int ItemIndex READ itemIndex WRITE setItemIndex)
  Q_PROPERTY(int Columns READ columns WRITE setColumns)

public:
  explicit TRadioGroup(QWidget *parent = nullptr);

  void setItems(const QStringList &items);
  const QStringList &items() const { return items_; }

  int itemIndex() const { return itemIndex_; }
  // Below -1 selects nothing; past the end selects the last choice.
  void setItemIndex(int index);

  int columns() const { return columns_; }
  void setColumns(int columns);

  std::function<void(QObject *sender)> OnClick;

protected:
  void resizeEvent(QResizeEvent *event) override;

private:
  void layoutButtons();

  QStringList items_;
  QList<QRadioButton *> buttons_;
  QButtonGroup *group_;
  int itemIndex_ = -1;
  int columns_ = 1;
};

} // namespace vantor
