#include "unziplib/archivesource.h"

#include "unziplib/archivelayout.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace unziplib {
namespace {

constexpr unsigned char kUtf8FlagHigh = 0x08; // bit 11, in the field's second byte

struct PatchedFile {
  UniqueFd fd;
  uint64_t shift = 0;
  uint64_t size = 0; // seen from `shift` on
  uint64_t pos = 0;
  std::vector<uint64_t> flagBytes; // sorted, relative to `shift`
  zip_error_t error;

  ~PatchedFile() { zip_error_fini(&error); }

  zip_int64_t read(void *data, zip_uint64_t count) {
    count = std::min<zip_uint64_t>(count, size - std::min(pos, size));
    if (count > 0 && !readFully(fd.get(), shift + pos, data, count)) {
      zip_error_set(&error, ZIP_ER_READ, errno);
      return -1;
    }
    auto *bytes = static_cast<unsigned char *>(data);
    for (auto it = std::lower_bound(flagBytes.begin(), flagBytes.end(), pos);
         it != flagBytes.end() && *it < pos + count; ++it)
      bytes[*it - pos] &= static_cast<unsigned char>(~kUtf8FlagHigh);
    pos += count;
    return zip_int64_t(count);
  }
};

zip_int64_t callback(void *state, void *data, zip_uint64_t length, zip_source_cmd_t command) {
  auto *file = static_cast<PatchedFile *>(state);
  switch (command) {
  case ZIP_SOURCE_OPEN:
    file->pos = 0;
    return 0;
  case ZIP_SOURCE_READ:
    return file->read(data, length);
  case ZIP_SOURCE_CLOSE:
    return 0;
  case ZIP_SOURCE_STAT: {
    auto *stat = ZIP_SOURCE_GET_ARGS(zip_stat_t, data, length, &file->error);
    if (!stat)
      return -1;
    zip_stat_init(stat);
    stat->size = file->size;
    stat->valid |= ZIP_STAT_SIZE;
    return sizeof(zip_stat_t);
  }
  case ZIP_SOURCE_ERROR:
    return zip_error_to_data(&file->error, data, length);
  case ZIP_SOURCE_FREE:
    delete file;
    return 0;
  case ZIP_SOURCE_SEEK: {
    const zip_int64_t to =
        zip_source_seek_compute_offset(file->pos, file->size, data, length, &file->error);
    if (to < 0)
      return -1;
    file->pos = zip_uint64_t(to);
    return 0;
  }
  case ZIP_SOURCE_TELL:
    return zip_int64_t(file->pos);
  case ZIP_SOURCE_SUPPORTS:
    return zip_source_make_command_bitmap(
        ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT, ZIP_SOURCE_ERROR,
        ZIP_SOURCE_FREE, ZIP_SOURCE_SEEK, ZIP_SOURCE_TELL, ZIP_SOURCE_SUPPORTS, -1);
  default:
    zip_error_set(&file->error, ZIP_ER_OPNOTSUPP, 0);
    return -1;
  }
}

} // namespace

ZipSource createArchiveSource(const std::string &path, uint64_t shift,
                              const std::vector<uint64_t> &hiddenFlags, zip_error_t *error) {
  if (hiddenFlags.empty())
    return ZipSource(zip_source_file_create(path.c_str(), shift, 0, error));
  auto file = std::make_unique<PatchedFile>();
  zip_error_init(&file->error);
  struct stat info {};
  file->fd.reset(open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!file->fd.valid() || fstat(file->fd.get(), &info) != 0 || uint64_t(info.st_size) < shift) {
    zip_error_set(error, ZIP_ER_OPEN, errno);
    return nullptr;
  }
  file->shift = shift;
  file->size = uint64_t(info.st_size) - shift;
  for (uint64_t at : hiddenFlags)
    if (at >= shift && at + 1 - shift < file->size)
      file->flagBytes.push_back(at + 1 - shift);
  std::sort(file->flagBytes.begin(), file->flagBytes.end());
  ZipSource source(zip_source_function_create(callback, file.get(), error));
  if (source)
    file.release(); // the source frees it with ZIP_SOURCE_FREE
  return source;
}

ZipArchive openArchive(const std::string &path, uint64_t shift,
                       const std::vector<uint64_t> &hiddenFlags, std::string &error) {
  zip_error_t zerr;
  zip_error_init(&zerr);
  ZipSource source = createArchiveSource(path, shift, hiddenFlags, &zerr);
  ZipArchive archive(source ? zip_open_from_source(source.get(), ZIP_RDONLY, &zerr) : nullptr);
  if (archive)
    source.release(); // the archive owns it now
  else
    error = zipErrorText(&zerr);
  zip_error_fini(&zerr);
  return archive;
}

std::string zipErrorText(zip_error_t *error) {
  const char *text = zip_error_strerror(error);
  return text ? text : "unknown error";
}

} // namespace unziplib
