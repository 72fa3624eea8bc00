#pragma once

#include <QString>
#include <utility>

namespace vantor {

// The text of the exception being handled (an Error's message, a standard
// exception's what()). Call it inside a catch block only.
QString currentExceptionText();

// Tells the user what escaped an event handler, through the message service.
// Call it inside a catch block; Qt event handlers must not let exceptions
// through.
void reportHandlerException();

// Runs `work`; whatever it throws is reported. False when it threw.
template <class Work> bool runGuarded(Work &&work) {
  try {
    std::forward<Work>(work)();
    return true;
  } catch (...) {
    reportHandlerException();
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

} // namespace vantor
