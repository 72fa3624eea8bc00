#include "archive/zipheaderwalk.h"

#include "platform/errors.h"
#include "platform/usermessage.h"
#include "unziplib/archivelayout.h"

#include <QtEndian>
#include <algorithm>

namespace vantor::archive {
namespace {

using unziplib::kCentralSignature;
using unziplib::kDescriptorSignature;
using unziplib::kEndSignature;
using unziplib::kLocalSignature;
constexpr quint16 kDescriptorFlag = 0x0008;
constexpr qint64 kEndRecordSize = qint64(unziplib::kEndSize);

struct Zip64Extra {
  bool present = false;
  std::optional<quint64> compressedSize;
};

// A local header's zip64 field holds both sizes, uncompressed first.
Zip64Extra parseZip64(const QByteArray &extra) {
  Zip64Extra result;
  const auto *p = reinterpret_cast<const uchar *>(extra.constData());
  for (qint64 at = 0; at + 4 <= extra.size();) {
    const quint16 id = qFromLittleEndian<quint16>(p + at);
    const quint16 len = qFromLittleEndian<quint16>(p + at + 2);
    if (at + 4 + len > extra.size())
      break;
    if (id == 0x0001) {
      result.present = true;
      if (len >= 16)
        result.compressedSize = qFromLittleEndian<quint64>(p + at + 4 + 8);
    }
    at += 4 + len;
  }
  return result;
}

} // namespace

ZipHeaderWalk::ZipHeaderWalk(ByteSource &source, std::function<void(const QString &text)> tell)
    : source_(source), tell_(std::move(tell)), descriptors_(source) {}

const CentralIndex &ZipHeaderWalk::centralIndex() {
  // Read only when a header needs it: plain archives never pay for it.
  if (!index_)
    index_ = CentralIndex::read(source_);
  return *index_;
}

void ZipHeaderWalk::run(bool selfExtractor) {
  entries.clear();
  firstHeaderOffset = 0;
  scanCount = 0;
  bool inStep = false;

  if (selfExtractor) {
    qint64 start = kSelfExtractorStart;
    // A stub shorter than the usual one must not hide the first entries.
    const qint64 first = centralIndex().firstLocalHeader();
    if (first >= 0 && first < start)
      start = first;
    source_.seek(std::min(start, source_.size()));
  }

  for (;;) {
    quint32 signature = 0;
    if (!inStep) {
      if (!scanForHeader()) {
        const QString text = QStringLiteral("No valid zip entries found");
        tell_ ? tell_(text) : showMessage(text);
        reported = true;
        break;
      }
      inStep = true;
      signature = kLocalSignature;
      firstHeaderOffset = source_.pos() - 4;
    } else if (!source_.readU32(signature)) {
      throw StreamError(QStringLiteral("Error reading Zip File"));
    }

    if (signature == kCentralSignature || signature == kEndSignature)
      break;
    if (signature != kLocalSignature)
      continue;

    ZipDirEntry entry;
    entry.headerOffset = source_.pos() - 4;
    if (!readEntry(entry)) {
      if (entries.empty()) {
        inStep = false;
        continue;
      }
      throw StreamError(QStringLiteral("Error 2 reading Zip file"));
    }

    const qint64 pos = source_.pos();
    QByteArray extra(entry.extraLength, Qt::Uninitialized);
    extra.truncate(std::max<qint64>(0, source_.read(extra.data(), extra.size())));
    source_.seek(pos);

    bool zip64 = false;
    const std::optional<quint64> size = dataSize(entry, extra, zip64);
    const qint64 room = source_.size() - kEndRecordSize - pos - entry.extraLength;
    if (!size || room < 0 || *size > quint64(room)) {
      if (entries.empty()) {
        inStep = false;
        continue;
      }
      throw StreamError(QStringLiteral("Error 3 reading Zip file"));
    }
    entry.dataSize = *size;
    if (entry.extraLength > 0 && !source_.seek(pos + entry.extraLength))
      throw StreamError(QStringLiteral("Error 4 reading Zip file"));
    if (!source_.seek(source_.pos() + qint64(*size)))
      throw StreamError(QStringLiteral("Error 5 reading Zip file"));
    if (entry.flags & kDescriptorFlag)
      skipDescriptor(zip64);
    entries.push_back(std::move(entry));
  }
}

bool ZipHeaderWalk::scanForHeader() {
  static constexpr quint8 kLocalSignatureBytes[4] = {
      quint8(kLocalSignature), quint8(kLocalSignature >> 8), quint8(kLocalSignature >> 16),
      quint8(kLocalSignature >> 24)};
  quint8 byte = 0;
  bool pending = false;
  for (;;) {
    if (!pending && !source_.readByte(byte))
      return false;
    pending = false;
    if (++scanCount > kScanLimit)
      return false;
    if (byte != kLocalSignatureBytes[0])
      continue;
    int matched = 1;
    for (; matched < 4; ++matched) {
      if (!source_.readByte(byte))
        return false;
      if (byte != kLocalSignatureBytes[matched])
        break;
    }
    if (matched == 4)
      return true;
    // The byte that broke the match may itself begin a signature ("PPK\3\4").
    pending = byte == kLocalSignatureBytes[0];
  }
}

bool ZipHeaderWalk::readEntry(ZipDirEntry &entry) {
  uchar raw[ZipDirEntry::kHeaderSize];
  if (source_.read(reinterpret_cast<char *>(raw), sizeof raw) != qint64(sizeof raw))
    return false;
  entry.setHeader(raw);
  QByteArray name(entry.nameLength, Qt::Uninitialized);
  if (source_.read(name.data(), name.size()) != name.size())
    return false;
  entry.name = std::move(name);
  return true;
}

std::optional<quint64> ZipHeaderWalk::dataSize(const ZipDirEntry &entry, const QByteArray &extra,
                                               bool &zip64) {
  const Zip64Extra local = parseZip64(extra);
  zip64 = local.present;
  const bool descriptor = entry.flags & kDescriptorFlag;
  if (!descriptor && entry.compressedSize != 0xFFFFFFFF)
    return entry.compressedSize;
  if (!descriptor && local.compressedSize)
    return *local.compressedSize;
  // The header leaves the size open: the central directory has it, and an
  // archive without one (cut short, streamed) has it in the data descriptor.
  if (const auto record = centralIndex().find(entry.headerOffset))
    return record->compressedSize;
  if (descriptor)
    return descriptors_.find(entry.headerOffset, source_.pos() + entry.extraLength, zip64);
  return entry.compressedSize;
}

void ZipHeaderWalk::skipDescriptor(bool zip64) {
  const qint64 pos = source_.pos();
  quint32 next = 0;
  if (!source_.readU32(next)) {
    source_.seek(pos);
    return;
  }
  qint64 length = 0;
  if (next == kDescriptorSignature)
    length = zip64 ? 24 : 16;
  else if (next != kLocalSignature && next != kCentralSignature && next != kEndSignature)
    length = zip64 ? 20 : 12; // the descriptor without its optional signature
  if (!source_.seek(pos + length))
    source_.seek(pos);
}

} // namespace vantor::archive
