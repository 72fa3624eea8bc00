#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vantor::test {

// Another process holding the settings lock (on the file's folder) for up to
// `seconds`, as a second copy in the middle of a long save would. The child
// only makes system calls, so forking a threaded test program is safe.
class LockHeldElsewhere final {
public:
  LockHeldElsewhere(const QString &folder, unsigned seconds) {
    const QByteArray native = QFile::encodeName(folder);
    int ready[2];
    if (::pipe(ready) != 0)
      return;
    pid_ = ::fork();
    if (pid_ == 0) {
      ::close(ready[0]);
      const int fd = ::open(native.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
      const char held = fd >= 0 && ::flock(fd, LOCK_EX) == 0 ? 'y' : 'n';
      ::alarm(seconds); // gone by then, whatever becomes of the test
      if (::write(ready[1], &held, 1) == 1)
        ::pause();
      ::_exit(0);
    }
    ::close(ready[1]);
    char held = 'n';
    holding_ = pid_ > 0 && ::read(ready[0], &held, 1) == 1 && held == 'y';
    ::close(ready[0]);
  }
  ~LockHeldElsewhere() { crash(); }
  LockHeldElsewhere(const LockHeldElsewhere &) = delete;
  LockHeldElsewhere &operator=(const LockHeldElsewhere &) = delete;

  bool holding() const { return holding_; }
  // Ends the holder as a crash would: no chance to release anything itself.
  void crash() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    pid_ = -1;
    holding_ = false;
  }

private:
  pid_t pid_ = -1;
  bool holding_ = false;
};

} // namespace vantor::test
