#include "handlerguard.h"

#include "platform/errors.h"
#include "platform/usermessage.h"

#include <exception>

namespace vantor {

QString currentExceptionText() {
  try {
    throw;
  } catch (const Error &e) {
    return e.message();
  } catch (const std::exception &e) {
    return QString::fromLocal8Bit(e.what());
  } catch (...) {
    return QStringLiteral("Unknown exception");
  }
}

void reportHandlerException() {
  showError(std::current_exception() ? currentExceptionText() : QString());
}

} // namespace vantor
