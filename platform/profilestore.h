#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>

namespace vantor::platform {

// The settings file on disk. A change is a read-modify-write done under an
// advisory lock on the file's folder, and the file is replaced whole through
// a temporary file of the writer's own (fsync, rename, fsync of the folder):
// a crash never leaves it truncated, and of two programs saving at once
// neither loses what the other wrote. A file reached through links is
// replaced where the last link leads.
class ProfileStore final {
public:
  // How long a save waits for another writer before it gives up.
  static constexpr std::uint32_t kLockWaitMs = 5000;

  // Steps of a save, for tests that interrupt or count them.
  enum class Step { Lock, Open, Write, Flush, Rename };
  using Fault = std::function<bool(Step)>; // true = fail at this step
  static void setFault(Fault fault);

  explicit ProfileStore(QString path);

  const QString &path() const { return path_; }

  // The file's bytes; empty when it is missing or unreadable.
  QByteArray read() const;
  // Under the lock: reads the file, hands its bytes to `change` and writes
  // what that returns. Throws InOutError("Unable to write to <path>") and
  // leaves the file as it was when any step fails.
  void update(const std::function<QByteArray(const QByteArray &)> &change) const;
  // Throws the same error when the file or its folder lacks the owner's write
  // bit, or when its links loop or lead nowhere.
  void checkWritable() const;

private:
  [[noreturn]] void refuse() const;
  void checkWritable(const QByteArray &file) const;
  // The file that is replaced, every link followed; refused when there is none.
  QByteArray target() const;

  QString path_;
};

} // namespace vantor::platform
