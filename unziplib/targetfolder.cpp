#include "targetfolder.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace unziplib {
namespace {

std::string systemError(const char *what) {
  return std::string(what) + ": " + std::strerror(errno);
}

int openFolder(int parent, const std::string &name) {
  return openat(parent, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

} // namespace

TargetFolder::TargetFolder(const std::string &folder) {
  if (folder.empty() || folder.front() != '/') {
    openError_ = "Cannot open the extraction folder: " +
                 (folder.empty() ? std::string("none given") : "not an absolute path: " + folder);
    return;
  }
  // A trailing separator would have the system follow a final link.
  std::string path = folder;
  while (path.size() > 1 && path.back() == '/')
    path.pop_back();
  root_ = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (root_ < 0)
    openError_ = systemError(("Cannot open the extraction folder " + folder).c_str());
}

TargetFolder::~TargetFolder() {
  if (root_ >= 0)
    close(root_);
}

int TargetFolder::openParent(const EntryPath &path, bool create, std::string &error) const {
  int folder = dup(root_);
  if (folder < 0) {
    error = systemError("cannot open the extraction folder");
    return -1;
  }
  const size_t folders = path.isDirectory ? path.components.size() : path.components.size() - 1;
  for (size_t i = 0; i < folders; ++i) {
    const std::string &name = path.components[i];
    if (create && mkdirat(folder, name.c_str(), 0777) != 0 && errno != EEXIST) {
      error = systemError("cannot create folder");
      close(folder);
      return -1;
    }
    const int next = openFolder(folder, name);
    close(folder);
    if (next < 0) {
      // ELOOP/ENOTDIR: a link or a file stands where a folder belongs.
      error = systemError("cannot enter folder");
      return -1;
    }
    folder = next;
  }
  return folder;
}

bool TargetFolder::makeFolders(const EntryPath &path, std::string &error) const {
  EntryPath folders = path;
  folders.isDirectory = true;
  const int fd = openParent(folders, true, error);
  if (fd < 0)
    return false;
  close(fd);
  return true;
}

bool TargetFolder::lookup(const EntryPath &path, struct stat &info) const {
  if (path.components.empty())
    return false;
  EntryPath parentPath = path;
  parentPath.isDirectory = false;
  std::string ignored;
  const int folder = openParent(parentPath, false, ignored);
  if (folder < 0)
    return false;
  const bool found =
      fstatat(folder, path.components.back().c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0;
  close(folder);
  return found;
}

bool TempFile::create(int parentFolder, std::string &error) {
  static std::atomic<unsigned> counter{0};
  folder = parentFolder;
  for (int attempt = 0; attempt < 16; ++attempt) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, ".vtmp-%x-%x", unsigned(getpid()), counter.fetch_add(1));
    fd = openat(folder, buffer, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd >= 0) {
      name = buffer;
      return true;
    }
    if (errno != EEXIST)
      break;
  }
  error = systemError("cannot create file");
  return false;
}

bool TempFile::write(const void *data, size_t size, std::string &error) {
  const char *p = static_cast<const char *>(data);
  while (size > 0) {
    const ssize_t n = ::write(fd, p, size);
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0) {
      error = systemError("write error");
      return false;
    }
    p += n;
    size -= size_t(n);
  }
  return true;
}

bool TempFile::finish(long long modified, std::string &error) {
  const timespec times[2] = {{0, UTIME_NOW}, {time_t(modified), 0}};
  futimens(fd, times);
  const int result = close(fd);
  fd = -1;
  if (result != 0) {
    error = systemError("write error");
    return false;
  }
  return true;
}

bool TempFile::commit(const std::string &finalName, std::string &error) {
  if (renameat(folder, name.c_str(), folder, finalName.c_str()) != 0) {
    error = systemError("cannot replace file");
    return false;
  }
  name.clear();
  return true;
}

void TempFile::discard() {
  if (fd >= 0)
    close(fd);
  if (folder >= 0 && !name.empty())
    unlinkat(folder, name.c_str(), 0);
  if (folder >= 0)
    close(folder);
  fd = -1;
  folder = -1;
  name.clear();
}

} // namespace unziplib
