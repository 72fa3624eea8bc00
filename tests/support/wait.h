#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <functional>

namespace vantor::test {

// Turns the event loop until `done` holds, for at most `limitMs`: the
// caller asserts on the result, so a test that waits in vain fails fast.
inline bool turnEventLoopUntil(const std::function<bool()> &done, int limitMs = 20000) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > limitMs)
      return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(2);
  }
  return true;
}

} // namespace vantor::test
