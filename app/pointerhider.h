#pragma once

#include <QObject>
#include <QPoint>
#include <QTimer>

#include <cstdint>

namespace vantor {

// On a cabinet the mouse pointer is out of the way: hidden from the start,
// back as soon as the mouse moves, and gone again after a few seconds
// without a move. Time is platform's clock.
class PointerHider final : public QObject {
  Q_OBJECT

public:
  static constexpr int kIdleHide = 3000; // ms

  PointerHider();
  ~PointerHider() override;
  PointerHider(const PointerHider &) = delete;
  PointerHider &operator=(const PointerHider &) = delete;

  bool hidden() const { return hidden_; }
  // Hides the pointer when it has not moved for kIdleHide; the timer calls
  // it, tests may too.
  void hideIfIdle();

protected:
  bool eventFilter(QObject *watched, QEvent *event) override;

private:
  void hide();
  void show();

  QTimer idle_;
  std::uint32_t lastMove_ = 0;
  QPoint hiddenAt_; // where the pointer stood when it was hidden
  bool hidden_ = false;
};

} // namespace vantor
