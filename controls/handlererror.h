#pragma once

#include <QString>
#include <functional>

namespace vantor {

// The application's standard report of an exception that escaped an event
// handler: a message box with the error's text. Call it inside a catch block;
// Qt event handlers must not let exceptions through.
void reportHandlerException();

// Replaces the message box (tests, or a program-wide report); an empty
// function restores it.
using HandlerErrorReporter = std::function<void(const QString &message)>;
void setHandlerErrorReporter(HandlerErrorReporter reporter);

} // namespace vantor
