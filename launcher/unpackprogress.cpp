#include "launcher/unpackprogress.h"

#include "platform/clock.h"

#include <algorithm>

namespace vantor {

UnpackProgress::UnpackProgress(std::function<void(const QString &text)> showStatus)
    : showStatus_(std::move(showStatus)), start_(platform::tickCount()) {}

QString UnpackProgress::statusText(int percent) {
  return QStringLiteral("%1 %2%").arg(kUnzippingStatus).arg(percent);
}

void UnpackProgress::report(qint64 done, qint64 total) {
  // Sizes from the headers can fall short of what is written: never past 100.
  if (total <= 0 || platform::tickCount() - start_ < kQuietTime)
    return;
  const int percent = int(std::clamp<qint64>(done * 100 / total, 0, 100));
  if (percent == shownPercent_)
    return;
  shownPercent_ = percent;
  showStatus_(statusText(percent));
}

} // namespace vantor
