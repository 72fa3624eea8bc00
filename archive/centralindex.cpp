#include "centralindex.h"

#include <QtEndian>
#include <algorithm>
#include <limits>

namespace vantor::archive {
namespace {

constexpr quint32 EndSignature = 0x06054B50;
constexpr quint32 End64Signature = 0x06064B50;
constexpr quint32 Locator64Signature = 0x07064B50;
constexpr quint32 CentralSignature = 0x02014B50;
constexpr qint64 EndSize = 22;
constexpr qint64 MaxComment = 0xFFFF;
constexpr qint64 MaxCentralSize = qint64(1) << 30;

quint16 u16(const uchar *p) {
  return qFromLittleEndian<quint16>(p);
}
quint32 u32(const uchar *p) {
  return qFromLittleEndian<quint32>(p);
}
quint64 u64(const uchar *p) {
  return qFromLittleEndian<quint64>(p);
}

struct EndRecord {
  qint64 pos = -1;
  quint64 entries = 0;
  quint64 centralSize = 0;
  quint64 centralOffset = 0;
  qint64 centralPos = -1; // where the directory really starts
};

// The last end record whose comment reaches the end of the file, or failing
// that the last one found.
qint64 findEndRecord(ByteSource &source) {
  const qint64 size = source.size();
  if (size < EndSize)
    return -1;
  const qint64 tailStart = std::max<qint64>(0, size - EndSize - MaxComment);
  QByteArray tail(size - tailStart, Qt::Uninitialized);
  if (!source.readAt(tailStart, tail.data(), tail.size()))
    return -1;
  const auto *data = reinterpret_cast<const uchar *>(tail.constData());
  qint64 fallback = -1;
  for (qint64 i = tail.size() - EndSize; i >= 0; --i) {
    if (u32(data + i) != EndSignature)
      continue;
    if (i + EndSize + u16(data + i + 20) == tail.size())
      return tailStart + i;
    if (fallback < 0)
      fallback = tailStart + i;
  }
  return fallback;
}

std::optional<EndRecord> readEndRecord(ByteSource &source) {
  EndRecord end;
  end.pos = findEndRecord(source);
  if (end.pos < 0)
    return std::nullopt;
  uchar raw[EndSize];
  if (!source.readAt(end.pos, reinterpret_cast<char *>(raw), EndSize))
    return std::nullopt;
  end.entries = u16(raw + 10);
  end.centralSize = u32(raw + 12);
  end.centralOffset = u32(raw + 16);
  end.centralPos = end.pos - qint64(end.centralSize);

  const bool wants64 =
      end.entries == 0xFFFF || end.centralSize == 0xFFFFFFFF || end.centralOffset == 0xFFFFFFFF;
  uchar locator[20];
  if (wants64 && end.pos >= 20 &&
      source.readAt(end.pos - 20, reinterpret_cast<char *>(locator), 20) &&
      u32(locator) == Locator64Signature) {
    // The zip64 end record sits right before its locator.
    const qint64 pos64 = end.pos - 20 - 56;
    uchar raw64[56];
    if (pos64 < 0 || !source.readAt(pos64, reinterpret_cast<char *>(raw64), 56) ||
        u32(raw64) != End64Signature)
      return std::nullopt;
    end.entries = u64(raw64 + 32);
    end.centralSize = u64(raw64 + 40);
    end.centralOffset = u64(raw64 + 48);
    if (end.centralSize > quint64(pos64))
      return std::nullopt;
    end.centralPos = pos64 - qint64(end.centralSize);
  }
  if (end.centralPos < 0 || end.centralSize > quint64(MaxCentralSize))
    return std::nullopt;
  return end;
}

} // namespace

CentralIndex CentralIndex::read(ByteSource &source) {
  CentralIndex index;
  const auto end = readEndRecord(source);
  if (!end)
    return index;
  // Data in front of the archive whose offsets were never adjusted shifts
  // every stored offset by the same amount.
  const qint64 shift =
      end->centralPos - qint64(std::min<quint64>(end->centralOffset, quint64(end->centralPos)));

  QByteArray central(qint64(end->centralSize), Qt::Uninitialized);
  if (!source.readAt(end->centralPos, central.data(), central.size()))
    return index;
  const auto *data = reinterpret_cast<const uchar *>(central.constData());
  const qint64 size = central.size();
  qint64 at = 0;
  while (at + 46 <= size && u32(data + at) == CentralSignature) {
    const uchar *h = data + at;
    const qint64 nameLen = u16(h + 28), extraLen = u16(h + 30), commentLen = u16(h + 32);
    if (at + 46 + nameLen + extraLen + commentLen > size)
      break;
    CentralRecord record;
    record.compressedSize = u32(h + 20);
    record.uncompressedSize = u32(h + 24);
    quint64 offset = u32(h + 42);
    const bool needUncompressed = record.uncompressedSize == 0xFFFFFFFF;
    const bool needCompressed = record.compressedSize == 0xFFFFFFFF;
    const bool needOffset = offset == 0xFFFFFFFF;
    const uchar *extra = h + 46 + nameLen;
    for (qint64 e = 0; e + 4 <= extraLen;) {
      const quint16 id = u16(extra + e), len = u16(extra + e + 2);
      if (e + 4 + len > extraLen)
        break;
      if (id == 0x0001) {
        const uchar *field = extra + e + 4;
        qint64 f = 0;
        auto take = [&](quint64 &value) {
          if (f + 8 <= len) {
            value = u64(field + f);
            f += 8;
          }
        };
        if (needUncompressed)
          take(record.uncompressedSize);
        if (needCompressed)
          take(record.compressedSize);
        if (needOffset)
          take(offset);
        record.zip64 = true;
      }
      e += 4 + len;
    }
    if (offset <= quint64(std::numeric_limits<qint64>::max() - shift)) {
      const qint64 pos = qint64(offset) + shift;
      index.records_.insert(pos, record);
      if (index.first_ < 0 || pos < index.first_)
        index.first_ = pos;
    }
    at += 46 + nameLen + extraLen + commentLen;
  }
  index.valid_ = !index.records_.isEmpty();
  return index;
}

std::optional<CentralRecord> CentralIndex::find(qint64 localHeaderPos) const {
  const auto it = records_.constFind(localHeaderPos);
  if (it == records_.constEnd())
    return std::nullopt;
  return *it;
}

} // namespace vantor::archive
