#pragma once

#include <QString>

#include <cstdint>
#include <functional>

namespace vantor {

// The status shown while a game unpacks.
inline const QString kUnzippingStatus = QStringLiteral("Please Wait..Unzipping ROM..");

// Follows one unpacking for the status line. A quick one shows only the
// plain status; once it has run for kQuietTime the percentage follows as it
// changes. Every kPollEvery the window gets a chance to repaint and the user
// to ask to stop.
class UnpackProgress final {
public:
  static constexpr std::uint32_t kQuietTime = 500; // ms
  static constexpr std::uint32_t kPollEvery = 40;  // ms

  // `poll` returns true when the user asked to stop; it may be empty.
  UnpackProgress(std::function<void(const QString &text)> showStatus, std::function<bool()> poll);

  // `done` of `total` is unpacked; returns false once the user asked to stop.
  bool report(qint64 done, qint64 total);

  static QString statusText(int percent);

private:
  std::function<void(const QString &text)> showStatus_;
  std::function<bool()> poll_;
  std::uint32_t start_;
  std::uint32_t lastPoll_;
  int shownPercent_ = -1;
  bool stopped_ = false;
};

} // namespace vantor
