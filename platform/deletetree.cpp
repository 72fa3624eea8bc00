#include "platform/deletetree.h"

#include "platform/files.h"
#include "platform/handles.h"

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

// One folder on the way down: what is left to delete in it, and how to put
// it back as it was when it stays.
struct Frame {
  std::string name; // in its parent
  dev_t device = 0;
  ino_t inode = 0;
  std::vector<std::string> names;
  size_t next = 0;
  bool ok = true;
  bool modeChanged = false;
  mode_t originalMode = 0;
};

// Without read or search permission the folder is first opened as a bare
// handle, which still refuses links, and its mode changed through that.
UniqueFd openLocked(int parentFd, const char *name, Frame &frame) {
  const UniqueFd pathFd(openat(parentFd, name, O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  if (!pathFd.valid())
    return {};
  UniqueFd fd;
  struct stat st {};
  char procPath[64];
  std::snprintf(procPath, sizeof procPath, "/proc/self/fd/%d", pathFd.get());
  if (fstat(pathFd.get(), &st) == 0 && chmod(procPath, (st.st_mode & 07777) | kOwnerAll) == 0) {
    frame.originalMode = st.st_mode & 07777;
    frame.modeChanged = true;
    fd.reset(openat(pathFd.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd.valid()) {
      chmod(procPath, frame.originalMode);
      frame.modeChanged = false;
    }
  }
  return fd;
}

// Opens a folder for deletion, never through a link. A folder the owner may
// not list or change is granted that for the duration: a read-only folder
// does not protect its contents from this.
UniqueFd openFolder(int parentFd, const char *name, Frame &frame) {
  UniqueFd fd(openat(parentFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  if (!fd.valid() && errno == EACCES)
    fd = openLocked(parentFd, name, frame);
  if (!fd.valid())
    return {};
  struct stat st {};
  if (fstat(fd.get(), &st) != 0)
    return {};
  frame.device = st.st_dev;
  frame.inode = st.st_ino;
  if ((st.st_mode & kOwnerAll) != kOwnerAll && fchmod(fd.get(), st.st_mode | kOwnerAll) == 0 &&
      !frame.modeChanged) {
    frame.originalMode = st.st_mode & 07777;
    frame.modeChanged = true;
  }
  return fd;
}

// All names in the folder but "." and ".."; false when the listing broke off.
bool listNames(int folderFd, std::vector<std::string> &names) {
  UniqueFd listFd(openat(folderFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!listFd.valid())
    return false;
  const UniqueDir dir(fdopendir(listFd.get()));
  if (!dir)
    return false;
  listFd.release(); // the listing closes it now
  errno = 0;
  while (const dirent *entry = readdir(dir.get())) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..")
      names.push_back(name);
  }
  return errno == 0;
}

// Walks the tree without recursion and with one folder open at a time: the
// way back up goes through "..", checked against the folder that was left.
bool deleteBelow(int parentFd, const char *rootName, bool removeFolders, bool removeRoot) {
  std::vector<Frame> stack(1);
  stack.back().name = rootName;
  UniqueFd fd = openFolder(parentFd, rootName, stack.back());
  if (!fd.valid())
    return false;
  stack.back().ok = listNames(fd.get(), stack.back().names);
  for (;;) {
    Frame &frame = stack.back();
    if (frame.next < frame.names.size()) {
      const std::string &name = frame.names[frame.next++];
      struct stat st {};
      if (fstatat(fd.get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        frame.ok = false;
      } else if (!S_ISDIR(st.st_mode)) {
        // Links, files and anything else go as entries; a link's target stays.
        frame.ok = unlinkat(fd.get(), name.c_str(), 0) == 0 && frame.ok;
      } else {
        Frame child;
        child.name = name;
        UniqueFd childFd = openFolder(fd.get(), name.c_str(), child);
        if (!childFd.valid()) {
          frame.ok = false;
          continue;
        }
        child.ok = listNames(childFd.get(), child.names);
        fd = std::move(childFd);
        stack.push_back(std::move(child));
      }
      continue;
    }

    const bool isRoot = stack.size() == 1;
    UniqueFd up;
    if (!isRoot)
      up.reset(openat(fd.get(), "..", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    const int upFd = isRoot ? parentFd : up.get();
    bool wayBack = isRoot || up.valid();
    if (wayBack && !isRoot) {
      const Frame &parent = stack[stack.size() - 2];
      struct stat st {};
      wayBack = fstat(upFd, &st) == 0 && st.st_dev == parent.device && st.st_ino == parent.inode;
    }
    bool removed = false;
    if (wayBack && frame.ok && (isRoot ? removeRoot : removeFolders)) {
      removed = unlinkat(upFd, frame.name.c_str(), AT_REMOVEDIR) == 0;
      frame.ok = removed;
    }
    if (frame.modeChanged && !removed)
      fchmod(fd.get(), frame.originalMode);
    fd.reset();
    const bool ok = frame.ok;
    stack.pop_back();
    if (isRoot)
      return ok;
    if (!wayBack)
      return false; // the tree was moved while it was deleted: stop rather than guess
    fd = std::move(up);
    stack.back().ok = ok && stack.back().ok;
  }
}

bool deleteAt(const QString &folder, bool removeFolders, bool removeRoot) {
  QByteArray path = nativePath(folder);
  if (path.isEmpty())
    return false;
  // A trailing slash would make the system follow a link named by the path.
  while (path.size() > 1 && path.endsWith('/'))
    path.chop(1);
  if (path == "/")
    return deleteBelow(AT_FDCWD, "/", removeFolders, false); // the file system's root stays

  const UniqueFd parentFd(open(nativeFolderOf(path).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC));
  if (!parentFd.valid())
    return false;
  return deleteBelow(parentFd.get(), nativeNameOf(path).constData(), removeFolders, removeRoot);
}

} // namespace

bool deleteTree(const QString &folder, bool removeFolder) {
  return deleteAt(folder, removeFolder, removeFolder);
}

bool emptyFolder(const QString &folder) {
  return deleteAt(folder, true, false);
}

} // namespace vantor::platform
