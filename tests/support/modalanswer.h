#pragma once

#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace vantor::test {

// Answers a modal window from inside the loop it runs, each time it comes up
// while this object lives. The waits are counted in passes of that loop, not
// in time: a window that does not come up, or that is still up after its
// answer, fails the test within kPassLimit passes and is hidden, so the call
// that opened it returns instead of hanging until ctest gives up.
class ModalAnswer final : public QObject {
public:
  using Find = std::function<QWidget *()>;
  using Answer = std::function<void(QWidget *)>;
  static constexpr int kPassLimit = 1000;

  // `find` gives the window to answer when it is up, else null.
  ModalAnswer(Find find, Answer answer);
  // Answers `window` when it is the application's active modal window.
  ModalAnswer(QWidget *window, Answer answer);
  ModalAnswer(const ModalAnswer &) = delete;
  ModalAnswer &operator=(const ModalAnswer &) = delete;

  int answers() const { return answers_; }

protected:
  bool eventFilter(QObject *watched, QEvent *event) override;

private:
  void pass();
  void forget();
  void giveUp(QWidget *window, const char *what);

  Find find_;
  Answer answer_;
  QTimer timer_;
  QPointer<QWidget> answered_; // the window answered last, until it hides
  int passes_ = 0;
  int answers_ = 0;
};

} // namespace vantor::test
