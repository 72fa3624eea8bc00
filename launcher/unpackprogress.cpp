#include "launcher/unpackprogress.h"

#include "platform/clock.h"

#include <algorithm>

namespace vantor {

UnpackProgress::UnpackProgress(std::function<void(const QString &text)> showStatus,
                               std::function<bool()> poll)
    : showStatus_(std::move(showStatus)), poll_(std::move(poll)), start_(platform::tickCount()),
      lastPoll_(start_) {}

QString UnpackProgress::statusText(int percent) {
  return QStringLiteral("%1 %2%").arg(kUnzippingStatus).arg(percent);
}

bool UnpackProgress::report(qint64 done, qint64 total) {
  if (stopped_)
    return false;
  const std::uint32_t now = platform::tickCount();
  // Sizes from the headers can fall short of what is written: never past 100.
  if (total > 0 && now - start_ >= kQuietTime) {
    const int percent = int(std::clamp<qint64>(done * 100 / total, 0, 100));
    if (percent != shownPercent_) {
      shownPercent_ = percent;
      showStatus_(statusText(percent));
    }
  }
  if (poll_ && now - lastPoll_ >= kPollEvery) {
    lastPoll_ = now;
    stopped_ = poll_();
  }
  return !stopped_;
}

} // namespace vantor
