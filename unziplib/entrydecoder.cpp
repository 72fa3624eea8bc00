#include "unziplib/entrydecoder.h"

#include "unziplib/archivelayout.h"
#include "unziplib/archivesource.h"
#include "unziplib/extractionplan.h"
#include "unziplib/faultinjection.h"
#include "unziplib/phaseclock.h"

#include <isa-l/crc.h>

#include <algorithm>
#include <exception>
#include <new>

namespace unziplib {
namespace {

constexpr size_t kStreamBuffer = 256u << 10;
// Small enough to stay in the processor's cache from checksum to write.
constexpr size_t kPiece = 512u << 10;

// The traditional cipher's check byte lets one wrong password in 256 through;
// the data then fails to decompress or to match its CRC.
const Failure kWrongPasswordOrDamaged{UNZIP_ERR_PASSWORD, "wrong password or damaged entry"};

Failure failureFromZip(zip_error_t *error, bool encrypted) {
  const int code = zip_error_code_zip(error);
  switch (code) {
  case ZIP_ER_CRC:
  case ZIP_ER_ZLIB:
  case ZIP_ER_COMPRESSED_DATA:
    if (encrypted)
      return kWrongPasswordOrDamaged;
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

} // namespace

EntryDecoder::EntryDecoder(const ExtractionOptions &options, const ExtractionPlan &plan,
                           const TargetFolder &target, std::function<bool()> stopped,
                           zip_t *sharedArchive)
    : options_(options), plan_(plan), target_(target), stopped_(std::move(stopped)),
      archive_(sharedArchive) {
  failIfArmed(FaultSite::DecoderSetup);
}

void EntryDecoder::decode(Job &job) {
  // Nothing may escape a worker thread: a failure stays with its entry.
  try {
    decodeSteps(job);
  } catch (const std::bad_alloc &) {
    job.failure = {UNZIP_ERR_DATA, "out of memory"};
    job.temp.discard();
  } catch (const std::exception &error) {
    job.failure = {UNZIP_ERR_DATA, error.what()};
    job.temp.discard();
  } catch (...) {
    // The entry must still end as done, or the caller's thread would wait
    // for it forever.
    job.failure = {UNZIP_ERR_DATA, "internal error"};
    job.temp.discard();
  }
}

void EntryDecoder::decodeSteps(Job &job) {
  if (!options_.test) {
    std::string error;
    UniqueFd folder = target_.openParent(job.path, true, error);
    if (!folder.valid() || !job.temp.create(std::move(folder), error)) {
      job.failure = {UNZIP_ERR_WRITE, error};
      job.temp.discard();
      return;
    }
  }
  bool fellBack = !job.whole;
  if (job.whole)
    job.failure = readWhole(job, fellBack);
  if (fellBack) {
    const PhaseTimer timer(Phase::Stream);
    job.failure = readStream(job);
  }
  std::string error;
  const PhaseTimer timer(Phase::Close);
  if (!job.failure && !options_.test && !job.temp.finish(job.modified, error))
    job.failure = {UNZIP_ERR_WRITE, error};
  if (job.failure)
    job.temp.discard();
}

Failure EntryDecoder::deliver(Job &job, const void *data, size_t size) {
  if (options_.test || size == 0)
    return {};
  std::string error;
  const PhaseTimer timer(Phase::Write);
  if (!job.temp.write(data, size, error))
    return {UNZIP_ERR_WRITE, error};
  return {};
}

Failure EntryDecoder::readWhole(Job &job, bool &fellBack) {
  uint64_t offset = 0;
  if (!dataOffset(plan_.fd(), plan_.fileSize(), job.headerPos, offset) ||
      plan_.fileSize() - offset < job.compressedSize) {
    fellBack = true; // let the zip reader judge the damaged header
    return {};
  }
  failIfArmed(FaultSite::Buffer);
  if (job.method == ZIP_CM_STORE)
    return copyStored(job, offset);
  unsigned char *in = in_.get(job.compressedSize);
  {
    const PhaseTimer timer(Phase::Read);
    if (!readFully(plan_.fd(), offset, in, job.compressedSize))
      return {UNZIP_ERR_DATA, "read error"};
  }
  if (!inflater_)
    inflater_.reset(libdeflate_alloc_decompressor());
  if (!inflater_)
    throw std::bad_alloc();
  unsigned char *out = out_.get(job.size);
  {
    const PhaseTimer timer(Phase::Inflate);
    // Straight into the buffer the file is written from: no copy between.
    if (libdeflate_deflate_decompress(inflater_.get(), in, job.compressedSize, out, job.size,
                                      nullptr) != LIBDEFLATE_SUCCESS)
      return {UNZIP_ERR_DATA, "damaged compressed data"};
  }
  uint32_t crc = 0;
  for (uint64_t done = 0; done < job.size;) {
    const size_t n = size_t(std::min<uint64_t>(kPiece, job.size - done));
    if (Failure failure = checkAndDeliver(job, out + done, n, crc))
      return failure;
    done += n;
  }
  if (crc != job.crc)
    return {UNZIP_ERR_CRC, "CRC error"};
  return {};
}

// The checksum pulls a piece into the processor's cache just before the
// write copies it out. ISA-L's checksum folds in wider registers than
// libdeflate's, about four times as fast here. The file keeps its private name until the whole
// entry has checked, so a bad entry never shows.
Failure EntryDecoder::checkAndDeliver(Job &job, const unsigned char *piece, size_t size,
                                      uint32_t &crc) {
  {
    const PhaseTimer timer(Phase::Checksum);
    crc = crc32_gzip_refl(crc, piece, uint64_t(size));
  }
  return deliver(job, piece, size);
}

// Stored data goes through a buffer small enough to stay in the processor's
// cache between the read, the checksum and the write, whatever the entry's
// size.
Failure EntryDecoder::copyStored(Job &job, uint64_t offset) {
  unsigned char *chunk = in_.get(kPiece);
  uint32_t crc = 0;
  for (uint64_t done = 0; done < job.size;) {
    const size_t n = size_t(std::min<uint64_t>(kPiece, job.size - done));
    {
      const PhaseTimer timer(Phase::Read);
      if (!readFully(plan_.fd(), offset + done, chunk, n))
        return {UNZIP_ERR_DATA, "read error"};
    }
    if (Failure failure = checkAndDeliver(job, chunk, n, crc))
      return failure;
    done += n;
    if (stopped_())
      return {UNZIP_ERR_CANCELLED, "cancelled"};
  }
  if (crc != job.crc)
    return {UNZIP_ERR_CRC, "CRC error"};
  return {};
}

Failure EntryDecoder::readStream(Job &job) {
  if (!archive_) {
    std::string error;
    own_ = openArchive(options_.archive, plan_.shift(), plan_.hiddenFlags(), error);
    if (!own_)
      return {UNZIP_ERR_ARCHIVE, error};
    archive_ = own_.get();
  }
  // Refused here rather than by the zip reader, whose failure paths for these
  // leak.
  if (job.encrypted && !zip_encryption_method_supported(job.encryptionMethod, 0))
    return {UNZIP_ERR_DATA, "encryption method not supported"};
  if (job.encrypted && options_.password.empty())
    return {UNZIP_ERR_PASSWORD, "password required"};
  const char *password = options_.password.empty() ? nullptr : options_.password.c_str();
  const ZipFile file(zip_fopen_index_encrypted(archive_, job.index, 0, password));
  if (!file) {
    Failure failure = failureFromZip(zip_get_error(archive_), job.encrypted);
    zip_error_clear(archive_);
    return failure;
  }
  failIfArmed(FaultSite::Buffer);
  unsigned char *buffer = in_.get(kStreamBuffer);
  uint64_t total = 0;
  for (;;) {
    const zip_int64_t n = zip_fread(file.get(), buffer, kStreamBuffer);
    if (n < 0)
      return failureFromZip(zip_file_get_error(file.get()), job.encrypted);
    if (n == 0)
      break;
    total += uint64_t(n);
    if (total > job.size)
      return job.encrypted ? kWrongPasswordOrDamaged
                           : Failure{UNZIP_ERR_DATA, "more data than the entry's size"};
    if (Failure failure = deliver(job, buffer, size_t(n)))
      return failure;
    if (stopped_())
      return {UNZIP_ERR_CANCELLED, "cancelled"};
  }
  if (total != job.size)
    return job.encrypted ? kWrongPasswordOrDamaged
                         : Failure{UNZIP_ERR_DATA, "less data than the entry's size"};
  return {};
}

} // namespace unziplib
