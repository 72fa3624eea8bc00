#pragma once

#include <QWidget>
#include <functional>

namespace vantor {

// Selection by index until the rotary dial takes its place: `Max` accepts
// 0..270, `Position` is clamped to 0..Max and `OnChange` fires on a change.
class DialStandIn final : public QWidget {
  Q_OBJECT
  Q_PROPERTY(int Max READ max WRITE setMax)
  Q_PROPERTY(int Position READ position WRITE setPosition)

public:
  using QWidget::QWidget;
  int max() const { return max_; }
  void setMax(int value) {
    if (value >= 0 && value <= 270)
      max_ = value;
  }
  int position() const { return position_; }
  void setPosition(int value) {
    value = qBound(0, value, max_);
    if (value == position_)
      return;
    position_ = value;
    if (OnChange)
      OnChange(this);
  }
  std::function<void(QObject *sender)> OnChange;

private:
  int max_ = 0;
  int position_ = 0;
};

} // namespace vantor
