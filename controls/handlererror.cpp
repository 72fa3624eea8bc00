#include "handlererror.h"

#include "platform/errors.h"

#include <QApplication>
#include <QMessageBox>
#include <exception>

namespace vantor {
namespace {

HandlerErrorReporter &reporterOverride() {
  static HandlerErrorReporter reporter;
  return reporter;
}

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

} // namespace

void reportHandlerException() {
  const QString text = std::current_exception() ? currentExceptionText() : QString();
  if (reporterOverride()) {
    reporterOverride()(text);
    return;
  }
  QMessageBox::critical(QApplication::activeWindow(), QApplication::applicationName(), text);
}

void setHandlerErrorReporter(HandlerErrorReporter reporter) {
  reporterOverride() = std::move(reporter);
}

} // namespace vantor
