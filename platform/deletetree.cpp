#include "deletetree.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace vantor::platform {
namespace {

constexpr mode_t kOwnerAll = S_IRUSR | S_IWUSR | S_IXUSR;

// A folder opened for deletion, never through a link. A folder the owner may
// not list or change is granted that for the duration: a read-only folder
// does not protect its contents from this. Its mode is put back unless the
// folder is removed.
class OpenFolder final {
public:
  OpenFolder(int parentFd, const char *name) {
    fd_ = openat(parentFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd_ < 0 && errno == EACCES)
      openLocked(parentFd, name);
    if (fd_ < 0)
      return;
    struct stat st {};
    if (fstat(fd_, &st) == 0 && (st.st_mode & kOwnerAll) != kOwnerAll) {
      if (!modeChanged_)
        originalMode_ = st.st_mode & 07777;
      modeChanged_ = fchmod(fd_, st.st_mode | kOwnerAll) == 0 || modeChanged_;
    }
  }
  ~OpenFolder() {
    if (fd_ < 0)
      return;
    if (modeChanged_ && !removed_)
      fchmod(fd_, originalMode_);
    close(fd_);
  }
  OpenFolder(const OpenFolder &) = delete;
  OpenFolder &operator=(const OpenFolder &) = delete;

  int fd() const { return fd_; }
  void markRemoved() { removed_ = true; }

private:
  // Without read or search permission the folder is first opened as a bare
  // handle, which still refuses links, and its mode changed through that.
  void openLocked(int parentFd, const char *name) {
    const int pathFd = openat(parentFd, name, O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (pathFd < 0)
      return;
    struct stat st {};
    char procPath[64];
    std::snprintf(procPath, sizeof procPath, "/proc/self/fd/%d", pathFd);
    if (fstat(pathFd, &st) == 0 && chmod(procPath, (st.st_mode & 07777) | kOwnerAll) == 0) {
      originalMode_ = st.st_mode & 07777;
      modeChanged_ = true;
      fd_ = openat(pathFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
      if (fd_ < 0)
        chmod(procPath, originalMode_);
    }
    close(pathFd);
  }

  int fd_ = -1;
  bool modeChanged_ = false;
  bool removed_ = false;
  mode_t originalMode_ = 0;
};

// All names in the folder; false when the listing broke off.
bool listNames(int folderFd, std::vector<std::string> &names) {
  const int listFd = openat(folderFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (listFd < 0)
    return false;
  DIR *dir = fdopendir(listFd);
  if (!dir) {
    close(listFd);
    return false;
  }
  errno = 0;
  while (const dirent *entry = readdir(dir))
    names.emplace_back(entry->d_name);
  const bool complete = errno == 0;
  closedir(dir);
  return complete;
}

bool deleteFolder(int parentFd, const char *name, bool removeFolder, bool mayRemove);

bool deleteContents(int folderFd, bool removeFolders) {
  std::vector<std::string> names;
  bool ok = listNames(folderFd, names);
  for (const std::string &name : names) {
    if (name.front() == '.')
      continue;
    struct stat st {};
    if (fstatat(folderFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
      ok = false;
    } else if (S_ISDIR(st.st_mode)) {
      ok = deleteFolder(folderFd, name.c_str(), removeFolders, true) && ok;
    } else {
      // Links, files and anything else go as entries; a link's target stays.
      ok = unlinkat(folderFd, name.c_str(), 0) == 0 && ok;
    }
  }
  return ok;
}

bool deleteFolder(int parentFd, const char *name, bool removeFolder, bool mayRemove) {
  OpenFolder folder(parentFd, name);
  if (folder.fd() < 0)
    return false;
  bool ok = deleteContents(folder.fd(), removeFolder);
  if (ok && removeFolder && mayRemove) {
    ok = unlinkat(parentFd, name, AT_REMOVEDIR) == 0;
    if (ok)
      folder.markRemoved();
  }
  return ok;
}

} // namespace

bool deleteTree(const QString &folder, bool removeFolder) {
  QByteArray path = QFile::encodeName(folder);
  if (path.isEmpty())
    return false;
  // A trailing slash would make the system follow a link named by the path.
  while (path.size() > 1 && path.endsWith('/'))
    path.chop(1);
  if (path == "/")
    return deleteFolder(AT_FDCWD, "/", removeFolder, false); // the file system's root stays

  const qsizetype slash = path.lastIndexOf('/');
  const QByteArray parent = slash < 0    ? QByteArray(".")
                            : slash == 0 ? QByteArray("/")
                                         : path.left(slash);
  const QByteArray name = path.mid(slash + 1);
  const int parentFd = open(parent.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  if (parentFd < 0)
    return false;
  const bool ok = deleteFolder(parentFd, name.constData(), removeFolder, true);
  close(parentFd);
  return ok;
}

} // namespace vantor::platform
