#pragma once

#include <QString>
#include <utility>

class QWidget;

namespace vantor {

// The text of the exception being handled (an Error's message, a standard
// exception's what()). Call it inside a catch block only.
QString currentExceptionText();

// Tells the user what escaped an event handler, through the message service:
// the message with a full stop, under the application's title, over `window`
// when it is shown. Call it inside a catch block; Qt event handlers must not
// let exceptions through.
void reportHandlerException(QWidget *window = nullptr);

// Runs `work`; whatever it throws is reported. False when it threw.
template <class Work> bool runGuarded(Work &&work, QWidget *window = nullptr) {
  try {
    std::forward<Work>(work)();
    return true;
  } catch (...) {
    reportHandlerException(window);
    return false;
  }
}

// Calls an assigned event handler; an empty one is skipped. What the handler
// throws is reported. False when it threw.
template <class Handler, class... Args> bool callHandler(const Handler &handler, Args &&...args) {
  if (!handler)
    return true;
  return runGuarded([&] { handler(std::forward<Args>(args)...); });
}

// Runs `work` and drops what it throws, unreported: for work whose failure
// the caller answers some other way. False when it threw.
template <class Work> bool runQuietly(Work &&work) {
  try {
    std::forward<Work>(work)();
    return true;
  } catch (...) {
    return false;
  }
}

// Like callHandler, but what the handler throws is dropped unreported: for a
// press whose failure the matching release answers. False when it threw.
template <class Handler, class... Args>
bool callHandlerQuietly(const Handler &handler, Args &&...args) {
  if (!handler)
    return true;
  return runQuietly([&] { handler(std::forward<Args>(args)...); });
}

} // namespace vantor
