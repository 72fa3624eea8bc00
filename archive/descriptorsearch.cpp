#include "archive/descriptorsearch.h"

#include "unziplib/archivelayout.h"

#include <QByteArray>
#include <QtEndian>
#include <algorithm>

namespace vantor::archive {
namespace {

using unziplib::kDescriptorSignature;

void forget(std::map<qint64, qint64> &first, qint64 below) {
  first.erase(first.begin(), first.lower_bound(below));
}

} // namespace

std::optional<quint64> DescriptorSearch::find(qint64 headerPos, qint64 dataStart, bool zip64) {
  if (headerPos < lastHeader_) {
    // Asked out of order: start afresh rather than answer from stale notes.
    scanned_ = 0;
    first32_.clear();
    first64_.clear();
  }
  lastHeader_ = headerPos;
  // Data starts before this header's own are of no use to it or to any
  // header after it.
  forget(first32_, headerPos + kMinHeader);
  forget(first64_, headerPos + kMinHeader);
  // A signature in front of the header cannot close its data or a later one.
  scanned_ = std::max(scanned_, headerPos);

  const std::map<qint64, qint64> &first = zip64 ? first64_ : first32_;
  for (;;) {
    if (const auto it = first.find(dataStart); it != first.end())
      return quint64(it->second - dataStart);
    if (!scanChunk())
      return std::nullopt;
  }
}

bool DescriptorSearch::scanChunk() {
  const qint64 fileSize = source_.size();
  if (scanned_ + 4 > fileSize)
    return false;
  const qint64 saved = source_.pos();
  const qint64 n = std::min(kChunk, fileSize - scanned_);
  QByteArray chunk(n, Qt::Uninitialized);
  const bool read = source_.seek(scanned_) && source_.read(chunk.data(), n) == n;
  source_.seek(saved);
  if (!read) {
    scanned_ = fileSize;
    return false;
  }
  const auto *p = reinterpret_cast<const uchar *>(chunk.constData());
  for (qint64 i = 0; i + 4 <= n; ++i)
    if (qFromLittleEndian<quint32>(p + i) == kDescriptorSignature)
      note(scanned_ + i);
  // The last three bytes may begin a signature that ends in the next chunk.
  scanned_ = n < 4 ? fileSize : scanned_ + n - 3;
  return true;
}

void DescriptorSearch::note(qint64 signaturePos) {
  uchar sizes[8] = {};
  // The compressed size follows the signature and the CRC.
  if (source_.readAt(signaturePos + 8, reinterpret_cast<char *>(sizes), 4)) {
    const qint64 start = signaturePos - qint64(qFromLittleEndian<quint32>(sizes));
    if (start >= 0)
      first32_.try_emplace(start, signaturePos);
  }
  if (source_.readAt(signaturePos + 8, reinterpret_cast<char *>(sizes), 8)) {
    const quint64 size = qFromLittleEndian<quint64>(sizes);
    if (size <= quint64(signaturePos))
      first64_.try_emplace(signaturePos - qint64(size), signaturePos);
  }
}

} // namespace vantor::archive
