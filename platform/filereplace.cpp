#include "platform/filereplace.h"

#include "platform/files.h"
#include "platform/handles.h"

#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantor::platform {
namespace {

constexpr int kNameAttempts = 100;

ReplaceFault &fault() {
  static ReplaceFault f;
  return f;
}

// Sets errno as the step would have failed.
bool failsAt(ReplaceStep step) {
  if (!fault())
    return false;
  const int error = fault()(step);
  if (error == 0)
    return false;
  errno = error;
  return true;
}

// In English whatever the user's locale, as every other message of the program.
QString reasonFor(int error) {
  static const locale_t english = ::newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
  QString text =
      QString::fromLocal8Bit(english ? ::strerror_l(error, english) : std::strerror(error));
  if (!text.isEmpty())
    text[0] = text[0].toLower();
  return text;
}

// A short write that reports no error is retried; one that writes nothing is
// a full device.
bool writeAll(int fd, const QByteArray &data) {
  const char *p = data.constData();
  qsizetype left = data.size();
  while (left > 0) {
    if (failsAt(ReplaceStep::Write))
      return false;
    const ssize_t n = ::write(fd, p, static_cast<size_t>(left));
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0) {
      if (n == 0)
        errno = ENOSPC;
      return false;
    }
    p += n;
    left -= n;
  }
  return true;
}

// Removes the temporary file unless it has been renamed.
class TemporaryFile final {
public:
  TemporaryFile() = default;
  TemporaryFile(const TemporaryFile &) = delete;
  TemporaryFile &operator=(const TemporaryFile &) = delete;
  ~TemporaryFile() {
    fd_.reset();
    if (!path_.isEmpty())
      ::unlink(path_.constData());
  }

  // A hidden name beside `target`, created new (never an existing file),
  // with the permissions any new file of the user gets.
  bool create(const QByteArray &target) {
    const QByteArray stem = nativeFolderOf(target) + "/." + nativeNameOf(target) + '.';
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
      if (failsAt(ReplaceStep::Create))
        return false;
      const QByteArray candidate =
          stem + QByteArray::number(QRandomGenerator::global()->generate64(), 36);
      const int fd =
          ::open(candidate.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
      if (fd >= 0) {
        fd_.reset(fd);
        path_ = candidate;
        return true;
      }
      if (errno != EEXIST)
        return false;
    }
    return false;
  }
  int fd() const { return fd_.get(); }
  // Closing reports what a network file system may only report then.
  bool close() { return ::close(fd_.release()) == 0 || errno == EINTR; }
  bool renameOnto(const QByteArray &target) {
    if (failsAt(ReplaceStep::Rename) || ::rename(path_.constData(), target.constData()) != 0)
      return false;
    path_.clear();
    return true;
  }

private:
  UniqueFd fd_;
  QByteArray path_;
};

bool syncedWithSize(int fd, qsizetype size) {
  if (failsAt(ReplaceStep::Sync) || ::fsync(fd) != 0)
    return false;
  struct stat st {};
  if (::fstat(fd, &st) != 0)
    return false;
  if (st.st_size != size) {
    errno = EIO;
    return false;
  }
  return true;
}

// Folders that cannot be synced (some file systems) are no failure.
void syncFolder(const QByteArray &folder) {
  const UniqueFd fd(::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (fd.valid())
    ::fsync(fd.get());
}

} // namespace

void setReplaceFault(ReplaceFault f) {
  fault() = std::move(f);
}

QString replaceFile(const QByteArray &nativePath, const QByteArray &data) {
  TemporaryFile temp;
  if (!temp.create(nativePath) || !writeAll(temp.fd(), data) ||
      !syncedWithSize(temp.fd(), data.size()) || !temp.close() || !temp.renameOnto(nativePath))
    return reasonFor(errno);
  syncFolder(nativeFolderOf(nativePath));
  return {};
}

} // namespace vantor::platform
