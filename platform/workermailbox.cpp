#include "platform/workermailbox.h"

namespace vantor::platform {

void MailboxWaker::wakeLater() {
  QMetaObject::invokeMethod(this, "wake", Qt::QueuedConnection);
}

} // namespace vantor::platform
