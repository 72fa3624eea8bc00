#include "platform/folderlock.h"

#include "platform/files.h"
#include "platform/process.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>

namespace vantor::platform {

bool FolderLock::tryLock(const QString &folder, QString *error) {
  unlock();
  UniqueFd fd(::open(nativePath(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  int rc = fd.valid() ? 0 : -1;
  if (rc == 0) {
    do
      rc = ::flock(fd.get(), LOCK_EX | LOCK_NB);
    while (rc != 0 && errno == EINTR);
  }
  if (rc != 0) {
    if (error)
      *error = errno == EWOULDBLOCK ? QString() : errorText(errno);
    return false;
  }
  fd_ = std::move(fd);
  return true;
}

} // namespace vantor::platform
