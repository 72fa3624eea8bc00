#include "modalanswer.h"

#include <QApplication>
#include <QEvent>
#include <gtest/gtest.h>

namespace vantor::test {

ModalAnswer::ModalAnswer(Find find, Answer answer)
    : find_(std::move(find)), answer_(std::move(answer)) {
  // A zero interval fires once per pass of whatever loop runs.
  timer_.setInterval(0);
  QObject::connect(&timer_, &QTimer::timeout, [this] { pass(); });
  timer_.start();
}

ModalAnswer::ModalAnswer(QWidget *window, Answer answer)
    : ModalAnswer(
          [window] { return QApplication::activeModalWidget() == window ? window : nullptr; },
          std::move(answer)) {}

bool ModalAnswer::eventFilter(QObject *watched, QEvent *event) {
  // The answer closed it: the next time it comes up is a new question.
  if (watched == answered_ && event->type() == QEvent::Hide)
    forget();
  return false;
}

void ModalAnswer::forget() {
  if (answered_)
    answered_->removeEventFilter(this);
  answered_ = nullptr;
  passes_ = 0;
}

void ModalAnswer::pass() {
  if (answered_) {
    if (++passes_ > kPassLimit)
      giveUp(answered_, "was still up after its answer");
    return;
  }
  if (QWidget *window = find_()) {
    answered_ = window;
    window->installEventFilter(this);
    passes_ = 0;
    ++answers_;
    answer_(window);
  } else if (++passes_ > kPassLimit) {
    giveUp(QApplication::activeModalWidget(), "did not come up");
  }
}

void ModalAnswer::giveUp(QWidget *window, const char *what) {
  timer_.stop();
  ADD_FAILURE() << "the modal window to answer " << what << " within " << kPassLimit
                << " passes of its loop";
  // Hiding ends the loop the window runs, so the call that opened it returns.
  if (window)
    window->hide();
  for (QWidget *top : QApplication::topLevelWidgets())
    if (top->isVisible() && top->isModal())
      top->hide();
}

} // namespace vantor::test
