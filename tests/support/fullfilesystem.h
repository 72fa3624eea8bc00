#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cerrno>
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

namespace vantor::test {

// A small file system mounted on `folder` and filled to the last byte, in a
// mount namespace of this thread's own, so nothing outside the test sees it
// and a crashed test leaves no mount behind. Only where the test may mount
// (root in a container that allows it); `mounted()` says whether it is there.
class FullFileSystem final {
public:
  explicit FullFileSystem(const QString &folder) : folder_(QFile::encodeName(folder)) {
    if (::unshare(CLONE_NEWNS) != 0 ||
        ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        ::mount("tmpfs", folder_.constData(), "tmpfs", 0, "size=64k") != 0)
      return;
    mounted_ = true;
    fill();
  }
  ~FullFileSystem() {
    if (mounted_)
      ::umount2(folder_.constData(), MNT_DETACH);
  }
  FullFileSystem(const FullFileSystem &) = delete;
  FullFileSystem &operator=(const FullFileSystem &) = delete;

  bool mounted() const { return mounted_; }

private:
  void fill() {
    const QByteArray filler = folder_ + "/.filler";
    const int fd = ::open(filler.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    const QByteArray block(512, 'x');
    while (fd >= 0 && ::write(fd, block.constData(), 512) > 0) {
    }
    while (fd >= 0 && ::write(fd, block.constData(), 1) > 0) {
    }
    if (fd >= 0)
      ::close(fd);
  }

  QByteArray folder_;
  bool mounted_ = false;
};

} // namespace vantor::test
