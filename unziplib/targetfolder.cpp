#include "unziplib/targetfolder.h"

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
  root_.reset(open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  if (!root_.valid())
    openError_ = systemError(("Cannot open the extraction folder " + folder).c_str());
}

TargetFolder::TargetFolder(CurrentFolder) {
  root_.reset(open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!root_.valid())
    openError_ = systemError("Cannot open the current folder");
}

UniqueFd TargetFolder::openParent(const EntryPath &path, bool create, std::string &error) const {
  UniqueFd folder(dup(root_.get()));
  if (!folder.valid()) {
    error = systemError("cannot open the extraction folder");
    return {};
  }
  const size_t folders = path.isDirectory ? path.components.size() : path.components.size() - 1;
  for (size_t i = 0; i < folders; ++i) {
    const std::string &name = path.components[i];
    if (create && mkdirat(folder.get(), name.c_str(), 0777) != 0 && errno != EEXIST) {
      error = systemError("cannot create folder");
      return {};
    }
    folder.reset(openFolder(folder.get(), name));
    if (!folder.valid()) {
      // ELOOP/ENOTDIR: a link or a file stands where a folder belongs.
      error = systemError("cannot enter folder");
      return {};
    }
  }
  return folder;
}

bool TargetFolder::makeFolders(const EntryPath &path, std::string &error) const {
  EntryPath folders = path;
  folders.isDirectory = true;
  return openParent(folders, true, error).valid();
}

bool TargetFolder::lookup(const EntryPath &path, struct stat &info) const {
  if (path.components.empty())
    return false;
  EntryPath parentPath = path;
  parentPath.isDirectory = false;
  std::string ignored;
  const UniqueFd folder = openParent(parentPath, false, ignored);
  return folder.valid() &&
         fstatat(folder.get(), path.components.back().c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0;
}

bool TempFile::create(UniqueFd folder, std::string &error) {
  static std::atomic<unsigned> counter{0};
  folder_ = std::move(folder);
  for (int attempt = 0; attempt < 16; ++attempt) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, ".vtmp-%x-%x", unsigned(getpid()), counter.fetch_add(1));
    fd_.reset(
        openat(folder_.get(), buffer, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
    if (fd_.valid()) {
      name_ = buffer;
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
    const ssize_t n = ::write(fd_.get(), p, size);
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
  futimens(fd_.get(), times);
  if (fd_.close() != 0) {
    error = systemError("write error");
    return false;
  }
  return true;
}

bool TempFile::commit(const std::string &finalName, std::string &error) {
  if (renameat(folder_.get(), name_.c_str(), folder_.get(), finalName.c_str()) != 0) {
    error = systemError("cannot replace file");
    return false;
  }
  name_.clear();
  return true;
}

void TempFile::discard() {
  fd_.reset();
  if (folder_.valid() && !name_.empty())
    unlinkat(folder_.get(), name_.c_str(), 0);
  folder_.reset();
  name_.clear();
}

} // namespace unziplib
