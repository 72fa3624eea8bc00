#pragma once

#include <libdeflate.h>
#include <zip.h>

#include <cstddef>
#include <cstdlib>
#include <memory>
#include <new>
#include <sys/mman.h>
#include <unistd.h>
#include <utility>

namespace unziplib {

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
  // Closes now and returns what close said: a delayed write error shows here.
  int close() { return ::close(release()); }

private:
  int fd_ = -1;
};

// Memory for an entry's data that keeps its size from one entry to the next
// and is never cleared: a growing std::vector would first fill it with zeros.
// It is taken in huge pages where the system allows: first touching tens of
// megabytes page by page costs more than inflating them on some machines.
class ScratchBuffer final {
public:
  unsigned char *get(size_t size) {
    if (size > size_) {
      constexpr size_t kStep = 2u << 20; // a huge page
      data_.reset();
      size_ = 0;
      const size_t rounded = (size + kStep - 1) / kStep * kStep;
      void *memory = std::aligned_alloc(kStep, rounded);
      if (!memory)
        throw std::bad_alloc();
      madvise(memory, rounded, MADV_HUGEPAGE);
      data_.reset(static_cast<unsigned char *>(memory));
      size_ = rounded;
    }
    return data_.get();
  }

private:
  struct Free {
    void operator()(unsigned char *p) const { std::free(p); }
  };
  std::unique_ptr<unsigned char[], Free> data_;
  size_t size_ = 0;
};

struct ZipDiscard {
  void operator()(zip_t *archive) const { zip_discard(archive); }
};
using ZipArchive = std::unique_ptr<zip_t, ZipDiscard>;

struct ZipFileClose {
  void operator()(zip_file_t *file) const { zip_fclose(file); }
};
using ZipFile = std::unique_ptr<zip_file_t, ZipFileClose>;

struct ZipSourceFree {
  void operator()(zip_source_t *source) const { zip_source_free(source); }
};
using ZipSource = std::unique_ptr<zip_source_t, ZipSourceFree>;

struct InflaterFree {
  void operator()(libdeflate_decompressor *inflater) const {
    libdeflate_free_decompressor(inflater);
  }
};
using Inflater = std::unique_ptr<libdeflate_decompressor, InflaterFree>;

} // namespace unziplib
