#pragma once

#include <dirent.h>
#include <memory>
#include <unistd.h>
#include <utility>

namespace vantor::platform {

// A file descriptor, closed when its owner goes.
class UniqueFd final {
public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) : fd_(fd) {}
  ~UniqueFd() { reset(); }
  UniqueFd(UniqueFd &&other) noexcept : fd_(other.release()) {}
  UniqueFd &operator=(UniqueFd &&other) noexcept {
    if (this != &other)
      reset(other.release());
    return *this;
  }
  UniqueFd(const UniqueFd &) = delete;
  UniqueFd &operator=(const UniqueFd &) = delete;

  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  int release() { return std::exchange(fd_, -1); }
  void reset(int fd = -1) {
    if (fd_ >= 0)
      ::close(fd_);
    fd_ = fd;
  }

private:
  int fd_ = -1;
};

struct DirCloser {
  void operator()(DIR *dir) const { ::closedir(dir); }
};
// An open folder listing, closed when its owner goes.
using UniqueDir = std::unique_ptr<DIR, DirCloser>;

} // namespace vantor::platform
