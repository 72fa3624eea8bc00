#pragma once

#include "platform/handles.h"

#include <QString>

namespace vantor::platform {

// Holds a folder for one user of it at a time, across processes, for as long
// as the object lives. The kernel lets go when the holder ends, a crash
// included, so a lock is never left behind and no file is made for it.
class FolderLock final {
public:
  FolderLock() = default;

  // Takes the folder without waiting. False when another holder has it, or
  // when the folder cannot be opened (`error` then says why).
  bool tryLock(const QString &folder, QString *error = nullptr);
  void unlock() { fd_.reset(); }
  bool locked() const { return fd_.valid(); }

private:
  UniqueFd fd_;
};

} // namespace vantor::platform
