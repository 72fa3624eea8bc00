#pragma once

#include <QString>

#include <cstdint>
#include <functional>

namespace vantor {

// The status shown while a game unpacks.
inline const QString kUnzippingStatus = QStringLiteral("Please Wait..Unzipping ROM..");

// Follows one unpacking for the status line. A quick one shows only the
// plain status; once it has run for kQuietTime the percentage follows as it
// changes.
class UnpackProgress final {
public:
  static constexpr std::uint32_t kQuietTime = 500; // ms

  explicit UnpackProgress(std::function<void(const QString &text)> showStatus);

  // `done` of `total` is unpacked.
  void report(qint64 done, qint64 total);

  static QString statusText(int percent);

private:
  std::function<void(const QString &text)> showStatus_;
  std::uint32_t start_;
  int shownPercent_ = -1;
};

} // namespace vantor
