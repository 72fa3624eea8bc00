#include "platform/handlerguard.h"

#include "platform/errors.h"
#include "platform/usermessage.h"

#include <QWidget>
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

void reportHandlerException(QWidget *window) {
  QString text = std::current_exception() ? currentExceptionText() : QString();
  if (!text.endsWith(u'.'))
    text += u'.';
  showError(text, window && window->isVisible() ? window : nullptr);
}

} // namespace vantor
