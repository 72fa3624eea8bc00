#include "platform/profilestore.h"

#include "platform/clock.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/handles.h"
#include "platform/resolvedpath.h"

#include <QFile>

#include <cctype>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantor::platform {
namespace {

// Temporary files are "<file name>.tmp~" and six characters mkostemp picks.
constexpr QByteArrayView kTempMark = ".tmp~";
constexpr qsizetype kTempUnique = 6;
// Earlier versions locked a file of this name beside the settings.
constexpr QByteArrayView kOldLockSuffix = ".lock";
constexpr useconds_t kLockPollUs = 5000;

ProfileStore::Fault &fault() {
  static ProfileStore::Fault f;
  return f;
}

bool failsAt(ProfileStore::Step step) {
  return fault() && fault()(step);
}

bool writeAll(int fd, const QByteArray &data) {
  const char *p = data.constData();
  qsizetype left = data.size();
  while (left > 0) {
    const ssize_t n = ::write(fd, p, static_cast<size_t>(left));
    if (n < 0) {
      if (errno == EINTR)
        continue;
      return false;
    }
    p += n;
    left -= n;
  }
  return true;
}

QByteArray readAll(const QByteArray &file) {
  QFile in(QFile::decodeName(file));
  return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}

bool lockWithin(int fd, std::uint32_t waitMs) {
  const std::uint32_t start = tickCount();
  for (;;) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
      return true;
    if (errno != EWOULDBLOCK && errno != EINTR)
      return false;
    if (tickCount() - start >= waitMs)
      return false;
    ::usleep(kLockPollUs);
  }
}

bool isTempOf(QByteArrayView entry, const QByteArray &name) {
  if (entry.size() != name.size() + kTempMark.size() + kTempUnique ||
      !entry.startsWith(name + kTempMark.toByteArray()))
    return false;
  for (const char c : entry.last(kTempUnique))
    if (!std::isalnum(static_cast<unsigned char>(c)))
      return false;
  return true;
}

// Runs under the lock. A writer holds a lock on its temporary file until it
// is renamed or removed, so one of ours that no process holds was left by a
// crash. Files of other users or other shapes are not touched.
void removeStaleTemps(const QByteArray &file) {
  const QByteArray folder = nativeFolderOf(file);
  const QByteArray name = nativeNameOf(file);
  const UniqueDir dir(::opendir(folder.constData()));
  if (!dir)
    return;
  while (const dirent *entry = ::readdir(dir.get())) {
    if (!isTempOf(QByteArrayView(entry->d_name), name))
      continue;
    const QByteArray temp = folder + '/' + entry->d_name;
    const UniqueFd fd(::open(temp.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    struct stat st {};
    if (fd.valid() && ::fstat(fd.get(), &st) == 0 && S_ISREG(st.st_mode) &&
        st.st_uid == ::geteuid() && ::flock(fd.get(), LOCK_EX | LOCK_NB) == 0)
      ::unlink(temp.constData());
  }
}

// Runs under the lock: a lock file an earlier version left is removed unless
// a copy of that version still holds it.
void removeOldLockFile(const QByteArray &file) {
  const QByteArray name = file + kOldLockSuffix.toByteArray();
  const UniqueFd fd(::open(name.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
  struct stat st {};
  if (fd.valid() && ::fstat(fd.get(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size == 0 &&
      st.st_uid == ::geteuid() && ::flock(fd.get(), LOCK_EX | LOCK_NB) == 0)
    ::unlink(name.constData());
}

// Folders that cannot be synced (some file systems) are no failure.
bool syncFolder(int folderFd) {
  return ::fsync(folderFd) == 0 || errno == EINVAL || errno == ENOTSUP;
}

} // namespace

ProfileStore::ProfileStore(QString path) : path_(std::move(path)) {}

void ProfileStore::setFault(Fault f) {
  fault() = std::move(f);
}

QByteArray ProfileStore::read() const {
  return readAll(QFile::encodeName(path_));
}

QByteArray ProfileStore::target() const {
  const std::optional<QByteArray> file = resolvedNativePath(QFile::encodeName(path_));
  if (!file)
    refuse();
  return *file;
}

void ProfileStore::refuse() const {
  throw InOutError(QStringLiteral("Unable to write to %1").arg(path_));
}

// The owner's write bit decides, even for root: a file or folder the user made
// read-only is refused as it would be for anyone else.
void ProfileStore::checkWritable() const {
  checkWritable(target());
}

void ProfileStore::checkWritable(const QByteArray &file) const {
  struct stat st {};
  if (::stat(file.constData(), &st) == 0 && (!S_ISREG(st.st_mode) || !(st.st_mode & S_IWUSR)))
    refuse();
  const QByteArray folder = nativeFolderOf(file);
  if (::stat(folder.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || !(st.st_mode & S_IWUSR) ||
      ::access(folder.constData(), W_OK) != 0)
    refuse();
}

void ProfileStore::update(const std::function<QByteArray(const QByteArray &)> &change) const {
  // Links are followed to the real file first, so it is that file that is
  // locked, replaced and synced, and every link on the way stays a link.
  const QByteArray file = target();
  checkWritable(file);
  // The lock is on the folder, which the rename never replaces: it leaves no
  // file behind, and the system drops it when a crashed writer goes.
  const QByteArray folder = nativeFolderOf(file);
  const UniqueFd lock(::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!lock.valid() || failsAt(Step::Lock) || !lockWithin(lock.get(), kLockWaitMs))
    refuse();
  removeStaleTemps(file);
  removeOldLockFile(file);

  const QByteArray data = change(readAll(file));
  struct stat st {};
  const mode_t mode = ::stat(file.constData(), &st) == 0 ? (st.st_mode & 07777) : 0644;
  QByteArray temp = file + kTempMark.toByteArray() + QByteArray(kTempUnique, 'X');
  const UniqueFd fd(failsAt(Step::Open) ? -1 : ::mkostemp(temp.data(), O_CLOEXEC));
  if (!fd.valid())
    refuse();
  // Held until the file is renamed or removed: a held temporary file is never stale.
  const bool held = ::flock(fd.get(), LOCK_EX | LOCK_NB) == 0;
  // The new file keeps the old one's permissions.
  const bool written =
      held && ::fchmod(fd.get(), mode) == 0 && !failsAt(Step::Write) && writeAll(fd.get(), data);
  const bool flushed = written && !failsAt(Step::Flush) && ::fsync(fd.get()) == 0;
  if (!flushed || failsAt(Step::Rename) || ::rename(temp.constData(), file.constData()) != 0) {
    ::unlink(temp.constData());
    refuse();
  }
  if (!syncFolder(lock.get()))
    refuse();
}

} // namespace vantor::platform
