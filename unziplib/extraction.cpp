#include "extraction.h"

#include "archivelayout.h"
#include "archivesource.h"
#include "entrypath.h"
#include "targetfolder.h"

#include <libdeflate.h>
#include <zip.h>

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <memory>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace unziplib {
namespace {

// Entries up to this size are inflated whole with libdeflate; larger ones are
// streamed, so memory stays bounded per thread.
constexpr uint64_t WholeEntryLimit = 8u << 20;
constexpr size_t StreamBuffer = 256u << 10;
constexpr uint64_t ProgressStep = 1u << 20;
constexpr unsigned MaxThreads = 4;

struct Failure {
  int32_t code = UNZIP_OK;
  std::string text;
  explicit operator bool() const { return code != UNZIP_OK; }
};

struct Job {
  enum Kind { Work, Folder, Refused, Skipped } kind = Work;
  zip_uint64_t index = 0;
  std::string name;
  EntryPath path;
  uint64_t size = 0;
  uint64_t compressedSize = 0;
  uint32_t crc = 0;
  uint16_t method = 0;
  bool encrypted = false;
  uint16_t encryptionMethod = ZIP_EM_NONE;
  long long modified = 0;
  bool whole = false;     // libdeflate fast path
  uint64_t headerPos = 0; // local header, shift applied
  std::string note;       // why refused or skipped

  // Filled by the thread that ran the job.
  bool taken = false;
  bool done = false;
  Failure failure;
  TempFile temp;
};

std::string zipErrorText(zip_error_t *error) {
  const char *text = zip_error_strerror(error);
  return text ? text : "unknown error";
}

// The traditional cipher's check byte lets one wrong password in 256 through;
// the data then fails to decompress or to match its CRC.
const Failure WrongPasswordOrDamaged{UNZIP_ERR_PASSWORD, "wrong password or damaged entry"};

Failure failureFromZip(zip_error_t *error, bool encrypted) {
  const int code = zip_error_code_zip(error);
  switch (code) {
  case ZIP_ER_CRC:
  case ZIP_ER_ZLIB:
  case ZIP_ER_COMPRESSED_DATA:
    if (encrypted)
      return WrongPasswordOrDamaged;
    return code == ZIP_ER_CRC ? Failure{UNZIP_ERR_CRC, "CRC error"}
                              : Failure{UNZIP_ERR_DATA, zipErrorText(error)};
  case ZIP_ER_NOPASSWD:
    return {UNZIP_ERR_PASSWORD, "password required"};
  case ZIP_ER_WRONGPASSWD:
    return {UNZIP_ERR_PASSWORD, "wrong password"};
  default:
    return {UNZIP_ERR_DATA, zipErrorText(error)};
  }
}

zip_t *openArchive(const std::string &path, uint64_t shift,
                   const std::vector<uint64_t> &hiddenFlags, std::string &error) {
  zip_error_t zerr;
  zip_error_init(&zerr);
  zip_source_t *source = createArchiveSource(path, shift, hiddenFlags, &zerr);
  zip_t *archive = source ? zip_open_from_source(source, ZIP_RDONLY, &zerr) : nullptr;
  if (!archive) {
    error = zipErrorText(&zerr);
    if (source)
      zip_source_free(source);
  }
  zip_error_fini(&zerr);
  return archive;
}

// What one thread needs to decompress entries: its own archive handle and
// buffers.
struct Worker {
  zip_t *archive = nullptr;
  bool ownsArchive = true;
  libdeflate_decompressor *inflater = nullptr;
  std::vector<unsigned char> in, out, buffer;

  ~Worker() {
    if (archive && ownsArchive)
      zip_discard(archive);
    if (inflater)
      libdeflate_free_decompressor(inflater);
  }
};

class Extraction {
public:
  Extraction(const ExtractionOptions &options, Reporter &reporter)
      : options_(options), reporter_(reporter), target_(options.folder) {}
  ~Extraction();
  int32_t run();

private:
  bool plan();
  void planEntry(zip_uint64_t index, const ArchiveLayout &layout, bool useLayout);
  bool decideExisting(Job &job);
  void runJob(Worker &worker, Job &job);
  void runJobSteps(Worker &worker, Job &job);
  Failure readWhole(Worker &worker, Job &job, bool &fellBack);
  Failure readStream(Worker &worker, Job &job);
  Failure deliver(Job &job, const void *data, size_t size);
  void workerLoop();
  bool waitFor(size_t index, Worker &mainWorker);
  bool commit(Job &job);
  void trace(const std::string &text);
  void verbose(const std::string &text);

  const ExtractionOptions &options_;
  Reporter &reporter_;
  int fd_ = -1;
  uint64_t fileSize_ = 0;
  uint64_t shift_ = 0;
  std::vector<uint64_t> hiddenFlags_;
  zip_t *archive_ = nullptr;
  TargetFolder target_;
  std::vector<std::unique_ptr<Job>> jobs_;
  std::map<std::string, long long> planned_; // targets earlier entries write

  std::mutex mutex_;
  std::condition_variable changed_;
  size_t next_ = 0;      // first job no thread has taken
  size_t committed_ = 0; // jobs reported to the caller
  size_t window_ = 8;    // how far threads may run ahead of the reports
  bool stop_ = false;
  int32_t count_ = 0;
};

Extraction::~Extraction() {
  for (auto &job : jobs_)
    job->temp.discard();
  if (archive_)
    zip_discard(archive_);
  if (fd_ >= 0)
    close(fd_);
}

void Extraction::trace(const std::string &text) {
  if (options_.trace)
    reporter_.message(UNZIP_OK, text);
}

void Extraction::verbose(const std::string &text) {
  if (options_.verbose)
    reporter_.message(UNZIP_OK, text);
}

bool Extraction::plan() {
  fd_ = open(options_.archive.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat info {};
  if (fd_ < 0 || fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode)) {
    reporter_.message(UNZIP_ERR_ARCHIVE, "Cannot open zip file " + options_.archive + ": " +
                                             std::strerror(errno ? errno : ENOENT));
    return false;
  }
  fileSize_ = uint64_t(info.st_size);
  const ArchiveLayout layout = readArchiveLayout(fd_, fileSize_);
  shift_ = layout.shift;
  hiddenFlags_ = layout.hiddenFlags;
  trace("Archive: " + options_.archive);
  if (shift_ > 0)
    trace(std::to_string(shift_) + " extra bytes at the beginning of the archive");
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
  const zip_int64_t count = zip_get_num_entries(archive_, 0);
  trace(std::to_string(count) + " entries in the central directory");
  const bool useLayout = layout.hasDirectory && layout.entries.size() == uint64_t(count);
  for (zip_int64_t i = 0; i < count; ++i)
    planEntry(zip_uint64_t(i), layout, useLayout);
  return true;
}

void Extraction::planEntry(zip_uint64_t index, const ArchiveLayout &layout, bool useLayout) {
  zip_stat_t stat;
  zip_stat_init(&stat);
  if (zip_stat_index(archive_, index, 0, &stat) != 0 || !(stat.valid & ZIP_STAT_NAME))
    return;
  // A name flagged UTF-8 that is not is taken as its bytes stand.
  const char *raw = useLayout && layout.entries[index].rawName
                        ? zip_get_name(archive_, index, ZIP_FL_ENC_RAW)
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
      zip_file_get_external_attributes(archive_, index, 0, &system, &attributes) == 0 &&
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
                 !job->encrypted && stat.size <= WholeEntryLimit &&
                 stat.comp_size <= WholeEntryLimit &&
                 (raw.method == ZIP_CM_DEFLATE ||
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
bool Extraction::decideExisting(Job &job) {
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

Failure Extraction::deliver(Job &job, const void *data, size_t size) {
  if (options_.test || size == 0)
    return {};
  std::string error;
  if (!job.temp.write(data, size, error))
    return {UNZIP_ERR_WRITE, error};
  return {};
}

Failure Extraction::readWhole(Worker &worker, Job &job, bool &fellBack) {
  uint64_t offset = 0;
  if (!dataOffset(fd_, fileSize_, job.headerPos, offset) ||
      fileSize_ - offset < job.compressedSize) {
    fellBack = true; // let libzip judge the damaged header
    return {};
  }
  worker.in.resize(job.compressedSize);
  if (!readFully(fd_, offset, worker.in.data(), worker.in.size()))
    return {UNZIP_ERR_DATA, "read error"};
  const unsigned char *data = worker.in.data();
  if (job.method == ZIP_CM_DEFLATE) {
    if (!worker.inflater && !(worker.inflater = libdeflate_alloc_decompressor()))
      return {UNZIP_ERR_DATA, "out of memory"};
    worker.out.resize(job.size);
    if (libdeflate_deflate_decompress(worker.inflater, worker.in.data(), worker.in.size(),
                                      worker.out.data(), worker.out.size(),
                                      nullptr) != LIBDEFLATE_SUCCESS)
      return {UNZIP_ERR_DATA, "damaged compressed data"};
    data = worker.out.data();
  }
  if (libdeflate_crc32(0, data, job.size) != job.crc)
    return {UNZIP_ERR_CRC, "CRC error"};
  return deliver(job, data, job.size);
}

Failure Extraction::readStream(Worker &worker, Job &job) {
  if (!worker.archive) {
    std::string error;
    if (!(worker.archive = openArchive(options_.archive, shift_, hiddenFlags_, error)))
      return {UNZIP_ERR_ARCHIVE, error};
  }
  // Refused here rather than by libzip, whose failure paths for these leak.
  if (job.encrypted && !zip_encryption_method_supported(job.encryptionMethod, 0))
    return {UNZIP_ERR_DATA, "encryption method not supported"};
  if (job.encrypted && options_.password.empty())
    return {UNZIP_ERR_PASSWORD, "password required"};
  const char *password = options_.password.empty() ? nullptr : options_.password.c_str();
  zip_file_t *file = zip_fopen_index_encrypted(worker.archive, job.index, 0, password);
  if (!file) {
    Failure failure = failureFromZip(zip_get_error(worker.archive), job.encrypted);
    zip_error_clear(worker.archive);
    return failure;
  }
  worker.buffer.resize(StreamBuffer);
  uint64_t total = 0;
  Failure failure;
  for (;;) {
    const zip_int64_t n = zip_fread(file, worker.buffer.data(), worker.buffer.size());
    if (n < 0) {
      failure = failureFromZip(zip_file_get_error(file), job.encrypted);
      break;
    }
    if (n == 0)
      break;
    total += uint64_t(n);
    if (total > job.size) {
      failure = job.encrypted ? WrongPasswordOrDamaged
                              : Failure{UNZIP_ERR_DATA, "more data than the entry's size"};
      break;
    }
    if ((failure = deliver(job, worker.buffer.data(), size_t(n))))
      break;
    std::lock_guard lock(mutex_);
    if (stop_) {
      failure = {UNZIP_ERR_CANCELLED, "cancelled"};
      break;
    }
  }
  zip_fclose(file);
  if (!failure && total != job.size)
    failure = job.encrypted ? WrongPasswordOrDamaged
                            : Failure{UNZIP_ERR_DATA, "less data than the entry's size"};
  return failure;
}

void Extraction::runJob(Worker &worker, Job &job) {
  // Nothing may escape a worker thread: a failure stays with its entry.
  try {
    runJobSteps(worker, job);
  } catch (const std::exception &error) {
    job.failure = {UNZIP_ERR_DATA, error.what()};
    job.temp.discard();
  } catch (...) {
    job.failure = {UNZIP_ERR_DATA, "internal error"};
    job.temp.discard();
  }
}

void Extraction::runJobSteps(Worker &worker, Job &job) {
  if (!options_.test) {
    std::string error;
    const int folder = target_.openParent(job.path, true, error);
    if (folder < 0) {
      job.failure = {UNZIP_ERR_WRITE, error};
      return;
    }
    if (!job.temp.create(folder, error)) {
      close(folder);
      job.temp.folder = -1;
      job.failure = {UNZIP_ERR_WRITE, error};
      return;
    }
  }
  bool fellBack = !job.whole;
  if (job.whole)
    job.failure = readWhole(worker, job, fellBack);
  if (fellBack)
    job.failure = readStream(worker, job);
  std::string error;
  if (!job.failure && !options_.test && !job.temp.finish(job.modified, error))
    job.failure = {UNZIP_ERR_WRITE, error};
  if (job.failure)
    job.temp.discard();
}

void Extraction::workerLoop() {
  Worker worker;
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock,
                  [&] { return stop_ || next_ >= jobs_.size() || next_ < committed_ + window_; });
    if (stop_ || next_ >= jobs_.size())
      return;
    Job &job = *jobs_[next_++];
    if (job.done || job.taken)
      continue;
    job.taken = true;
    lock.unlock();
    runJob(worker, job);
    lock.lock();
    job.done = true;
    changed_.notify_all();
  }
}

// Waits until job `index` is done; runs it here when no thread has taken it.
bool Extraction::waitFor(size_t index, Worker &mainWorker) {
  std::unique_lock lock(mutex_);
  Job &job = *jobs_[index];
  if (!job.done && !job.taken) {
    job.taken = true;
    next_ = std::max(next_, index + 1);
    lock.unlock();
    runJob(mainWorker, job);
    lock.lock();
    job.done = true;
  }
  changed_.wait(lock, [&] { return job.done; });
  return true;
}

// Reports a finished job in archive order and gives its file its real name.
// Returns false when the caller asked to stop.
bool Extraction::commit(Job &job) {
  const std::string target = job.path.joined();
  switch (job.kind) {
  case Job::Skipped:
    verbose("   skipping: " + job.name + " (" + job.note + ")");
    return !reporter_.stopRequested();
  case Job::Refused:
    return !reporter_.message(UNZIP_ERR_NAME, "skipping: " + job.name + " (" + job.note + ")");
  case Job::Folder: {
    std::string error;
    if (!target_.makeFolders(job.path, error))
      return !reporter_.message(UNZIP_ERR_WRITE, "cannot create " + target + ": " + error);
    verbose("   creating: " + target + "/");
    return !reporter_.stopRequested();
  }
  case Job::Work:
    break;
  }
  if (reporter_.fileBegins(job.name, job.size))
    return false;
  for (const std::string &warning : job.path.warnings)
    if (reporter_.message(UNZIP_ERR_NAME, job.name + ": " + warning))
      return false;
  trace(job.name + ": method " + std::to_string(job.method) + ", " +
        std::to_string(job.compressedSize) + " -> " + std::to_string(job.size) + " bytes");
  if (job.failure) {
    const std::string verb = options_.test ? "testing " : "extracting ";
    return !reporter_.message(job.failure.code,
                              "error " + verb + job.name + ": " + job.failure.text);
  }
  const uint64_t steps = std::max<uint64_t>(1, (job.size + ProgressStep - 1) / ProgressStep);
  for (uint64_t s = 0; s < steps; ++s)
    if (reporter_.step())
      return false; // the file is dropped: it is still under its private name
  if (options_.test) {
    verbose("    testing: " + job.name + "   OK");
    ++count_;
    return !reporter_.stopRequested();
  }
  std::string error;
  if (!job.temp.commit(job.path.components.back(), error))
    return !reporter_.message(UNZIP_ERR_WRITE, "error extracting " + job.name + ": " + error);
  job.temp.discard();
  ++count_;
  verbose((job.method == ZIP_CM_STORE ? " extracting: " : "  inflating: ") + target);
  return !reporter_.stopRequested();
}

int32_t Extraction::run() {
  if (!plan())
    return 0;
  size_t work = 0;
  for (const auto &job : jobs_)
    work += job->kind == Job::Work;
  const unsigned threads =
      work < 2 ? 0
               : std::min({MaxThreads, std::max(1u, std::thread::hardware_concurrency()),
                           unsigned(work)});
  window_ = std::max<size_t>(8, 4 * size_t(threads));
  std::vector<std::thread> pool;
  try {
    for (unsigned t = 0; t < threads; ++t)
      pool.emplace_back([this] { workerLoop(); });
  } catch (...) {
    // Fewer threads only make it slower: the calling thread runs what is left.
  }

  Worker mainWorker;
  mainWorker.archive = archive_;
  mainWorker.ownsArchive = false;
  bool cancelled = false;
  for (size_t i = 0; i < jobs_.size() && !cancelled; ++i) {
    waitFor(i, mainWorker);
    cancelled = !commit(*jobs_[i]);
    std::lock_guard lock(mutex_);
    committed_ = i + 1;
    changed_.notify_all();
  }
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
    changed_.notify_all();
  }
  for (std::thread &thread : pool)
    thread.join();
  // Files finished ahead of a stop never get their real names.
  for (auto &job : jobs_)
    job->temp.discard();
  if (cancelled)
    reporter_.message(UNZIP_ERR_CANCELLED, "Extraction cancelled");
  if (options_.test)
    verbose(std::to_string(count_) + " file(s) tested OK");
  else
    verbose(std::to_string(count_) + " file(s) extracted");
  return count_;
}

} // namespace

int32_t runExtraction(const ExtractionOptions &options, Reporter &reporter) {
  Extraction extraction(options, reporter);
  const int32_t count = extraction.run();
  reporter.batchEnd();
  return count;
}

} // namespace unziplib
