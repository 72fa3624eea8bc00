#include "unziplib/extractionplan.h"

#include "unziplib/archivelayout.h"
#include "unziplib/archivesource.h"
#include "unziplib/reporter.h"
#include "unziplib/targetfolder.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

namespace unziplib {
namespace {

// Compressed entries up to this size are inflated whole from the file;
// larger ones are streamed, so memory stays bounded per thread. Stored
// entries are copied piecewise, whatever their size.
constexpr uint64_t kWholeEntryLimit = 8u << 20;

} // namespace

bool ExtractionPlan::make() {
  fd_.reset(open(options_.archive.c_str(), O_RDONLY | O_CLOEXEC));
  struct stat info {};
  if (!fd_.valid() || fstat(fd_.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
    reporter_.message(UNZIP_ERR_ARCHIVE, "Cannot open zip file " + options_.archive + ": " +
                                             std::strerror(errno ? errno : ENOENT));
    return false;
  }
  fileSize_ = uint64_t(info.st_size);
  const ArchiveLayout layout = readArchiveLayout(fd_.get(), fileSize_);
  shift_ = layout.shift;
  hiddenFlags_ = layout.hiddenFlags;
  traceNote(options_, reporter_, "Archive: " + options_.archive);
  if (shift_ > 0)
    traceNote(options_, reporter_,
              std::to_string(shift_) + " extra bytes at the beginning of the archive");
  std::string error;
  archive_ = openArchive(options_.archive, shift_, hiddenFlags_, error);
  if (!archive_) {
    reporter_.message(UNZIP_ERR_ARCHIVE, "Cannot open zip file " + options_.archive + ": " + error);
    return false;
  }
  if (!options_.test && !target_.isOpen()) {
    reporter_.message(UNZIP_ERR_WRITE, target_.openError());
    return false;
  }
  const zip_int64_t count = zip_get_num_entries(archive_.get(), 0);
  traceNote(options_, reporter_, std::to_string(count) + " entries in the central directory");
  const bool useLayout = layout.hasDirectory && layout.entries.size() == uint64_t(count);
  for (zip_int64_t i = 0; i < count; ++i)
    planEntry(zip_uint64_t(i), layout, useLayout);
  return true;
}

void ExtractionPlan::planEntry(zip_uint64_t index, const ArchiveLayout &layout, bool useLayout) {
  zip_t *archive = archive_.get();
  zip_stat_t stat;
  zip_stat_init(&stat);
  if (zip_stat_index(archive, index, 0, &stat) != 0 || !(stat.valid & ZIP_STAT_NAME))
    return;
  // A name flagged UTF-8 that is not is taken as its bytes stand.
  const char *raw = useLayout && layout.entries[index].rawName
                        ? zip_get_name(archive, index, ZIP_FL_ENC_RAW)
                        : nullptr;
  const std::string name = raw ? raw : stat.name;
  if (!options_.patterns.empty() &&
      std::none_of(options_.patterns.begin(), options_.patterns.end(),
                   [&](const std::string &pattern) { return matchesWildcard(name, pattern); }))
    return;

  auto job = std::make_unique<Job>();
  job->index = index;
  job->name = name;
  job->path = confineEntryName(name, options_.keepFolders);
  job->size = stat.size;
  job->compressedSize = stat.comp_size;
  job->crc = stat.crc;
  job->method = stat.comp_method;
  job->encryptionMethod =
      (stat.valid & ZIP_STAT_ENCRYPTION_METHOD) ? stat.encryption_method : uint16_t(ZIP_EM_NONE);
  job->encrypted = job->encryptionMethod != ZIP_EM_NONE;
  job->modified = (stat.valid & ZIP_STAT_MTIME) ? (long long)stat.mtime : 0;

  zip_uint8_t system = 0;
  zip_uint32_t attributes = 0;
  const bool link =
      zip_file_get_external_attributes(archive, index, 0, &system, &attributes) == 0 &&
      system == ZIP_OPSYS_UNIX && ((attributes >> 16) & S_IFMT) == S_IFLNK;
  if (job->path.isDirectory && !link) {
    if (!options_.keepFolders || options_.test)
      return;
    job->kind = Job::Folder;
  }
  if (link) {
    job->kind = Job::Refused;
    job->note = "symbolic link not extracted";
  } else if (!job->path.refusal.empty()) {
    job->kind = Job::Refused;
    job->note = job->path.refusal;
  }

  if (job->kind == Job::Work && useLayout) {
    const RawEntry &raw = layout.entries[index];
    job->whole = raw.compressedSize == stat.comp_size && raw.uncompressedSize == stat.size &&
                 raw.crc == stat.crc && raw.method == stat.comp_method && !(raw.flags & 1) &&
                 !job->encrypted &&
                 ((raw.method == ZIP_CM_DEFLATE && stat.size <= kWholeEntryLimit &&
                   stat.comp_size <= kWholeEntryLimit) ||
                  (raw.method == ZIP_CM_STORE && stat.comp_size == stat.size));
    job->headerPos = raw.localHeader + shift_;
  }
  if (job->kind == Job::Work && !options_.test && !decideExisting(*job))
    job->kind = Job::Skipped;
  if (job->kind != Job::Work)
    job->done = true;
  jobs_.push_back(std::move(job));
}

// Whether the entry is to be written over what is there (the switches
// decide); sets the note when not.
bool ExtractionPlan::decideExisting(Job &job) {
  const std::string key = job.path.joined();
  bool exists = false;
  long long existingTime = 0;
  if (const auto it = planned_.find(key); it != planned_.end()) {
    exists = true;
    existingTime = it->second;
  } else if (struct stat info{}; target_.lookup(job.path, info)) {
    exists = true;
    existingTime = info.st_mtime;
  }
  const bool older = exists && existingTime < job.modified;
  bool write = true;
  if (options_.update) {
    write = !exists || older;
    job.note = "not newer";
  } else if (options_.freshen) {
    write = exists && older;
    job.note = exists ? "not newer" : "not present";
  } else if (exists && !options_.overwrite) {
    write = false;
    job.note = "file exists";
  }
  if (write)
    planned_[key] = job.modified;
  return write;
}

} // namespace unziplib
