#include "unziplib/archivelayout.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <optional>
#include <unistd.h>

namespace unziplib {
namespace {

constexpr uint64_t kMaxComment = 0xFFFF;
constexpr uint64_t kMaxDirectory = uint64_t(1) << 30;
constexpr uint64_t kLocatorSize = 20;
constexpr uint64_t kEnd64Size = 56;
constexpr uint64_t kMaxExtensible = 0xFFFF;
constexpr uint16_t kUtf8Flag = 0x0800;

uint16_t u16(const unsigned char *p) {
  return uint16_t(p[0] | p[1] << 8);
}
uint32_t u32(const unsigned char *p) {
  return uint32_t(u16(p)) | uint32_t(u16(p + 2)) << 16;
}
uint64_t u64(const unsigned char *p) {
  return uint64_t(u32(p)) | uint64_t(u32(p + 4)) << 32;
}

int64_t findEndRecord(const ReadAt &readAt, uint64_t fileSize) {
  if (fileSize < kEndSize)
    return -1;
  const uint64_t start = fileSize > kEndSize + kMaxComment ? fileSize - kEndSize - kMaxComment : 0;
  std::vector<unsigned char> tail(fileSize - start);
  if (!readAt(start, tail.data(), tail.size()))
    return -1;
  int64_t fallback = -1;
  for (int64_t i = int64_t(tail.size() - kEndSize); i >= 0; --i) {
    if (u32(&tail[i]) != kEndSignature)
      continue;
    if (uint64_t(i) + kEndSize + u16(&tail[i + 20]) == tail.size())
      return int64_t(start) + i;
    if (fallback < 0)
      fallback = int64_t(start) + i;
  }
  return fallback;
}

struct End64 {
  uint64_t pos = 0; // where the record really is
  uint64_t count = 0, size = 0, offset = 0;
};

// Reads a zip64 end record at `pos` that must end by `limit`.
std::optional<End64> readEnd64(const ReadAt &readAt, uint64_t pos, uint64_t limit) {
  unsigned char record[kEnd64Size];
  if (pos > limit || limit - pos < kEnd64Size || !readAt(pos, record, kEnd64Size) ||
      u32(record) != kEnd64Signature)
    return std::nullopt;
  // The record's own size counts what follows its first twelve bytes,
  // extensible data included.
  const uint64_t declared = u64(record + 4);
  if (declared < kEnd64Size - 12 || declared > limit - pos - 12)
    return std::nullopt;
  return End64{pos, u64(record + 32), u64(record + 40), u64(record + 48)};
}

// The zip64 end record named by the locator in front of the end record at
// `endPos`: where the locator says, or, when a stub was put in front without
// adjusting the offsets, the record that ends at the locator.
std::optional<End64> findEnd64(const ReadAt &readAt, int64_t endPos) {
  unsigned char locator[kLocatorSize];
  if (endPos < int64_t(kLocatorSize + kEnd64Size))
    return std::nullopt;
  const uint64_t locatorPos = uint64_t(endPos) - kLocatorSize;
  if (!readAt(locatorPos, locator, kLocatorSize) || u32(locator) != kLocator64Signature)
    return std::nullopt;
  const uint64_t stored = u64(locator + 8);
  if (auto end64 = readEnd64(readAt, stored, locatorPos))
    return end64;
  const uint64_t window = std::min<uint64_t>(locatorPos, kEnd64Size + kMaxExtensible);
  std::vector<unsigned char> tail(window);
  if (!readAt(locatorPos - window, tail.data(), tail.size()))
    return std::nullopt;
  for (uint64_t back = kEnd64Size; back <= window; ++back) {
    const unsigned char *p = &tail[window - back];
    if (u32(p) == kEnd64Signature && u64(p + 4) == back - 12 && locatorPos - back >= stored)
      return readEnd64(readAt, locatorPos - back, locatorPos);
  }
  return std::nullopt;
}

// Well-formed UTF-8: no overlong forms, surrogates or values past U+10FFFF.
bool validUtf8(const unsigned char *p, uint64_t length) {
  for (uint64_t i = 0; i < length;) {
    const unsigned char c = p[i];
    uint64_t extra = 0;
    uint32_t value = 0, least = 0;
    if (c < 0x80) {
      ++i;
      continue;
    } else if ((c & 0xE0) == 0xC0) {
      extra = 1, value = c & 0x1F, least = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
      extra = 2, value = c & 0x0F, least = 0x800;
    } else if ((c & 0xF8) == 0xF0) {
      extra = 3, value = c & 0x07, least = 0x10000;
    } else {
      return false;
    }
    if (length - i <= extra)
      return false;
    for (uint64_t k = 1; k <= extra; ++k) {
      if ((p[i + k] & 0xC0) != 0x80)
        return false;
      value = value << 6 | (p[i + k] & 0x3F);
    }
    if (value < least || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
      return false;
    i += extra + 1;
  }
  return true;
}

void parseZip64(const unsigned char *extra, uint64_t length, RawEntry &entry, bool needUncompressed,
                bool needCompressed, bool needOffset) {
  for (uint64_t at = 0; at + 4 <= length;) {
    const uint16_t id = u16(extra + at), size = u16(extra + at + 2);
    if (at + 4 + size > length)
      return;
    if (id == 0x0001) {
      uint64_t f = 0;
      auto take = [&](uint64_t &value) {
        if (f + 8 <= size) {
          value = u64(extra + at + 4 + f);
          f += 8;
        }
      };
      if (needUncompressed)
        take(entry.uncompressedSize);
      if (needCompressed)
        take(entry.compressedSize);
      if (needOffset)
        take(entry.localHeader);
      entry.zip64 = true;
      return;
    }
    at += 4 + size;
  }
}

} // namespace

bool readFully(int fd, uint64_t offset, void *data, size_t count) {
  auto *out = static_cast<char *>(data);
  while (count > 0) {
    const ssize_t n = pread(fd, out, count, off_t(offset));
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0)
      return false;
    out += n;
    offset += uint64_t(n);
    count -= size_t(n);
  }
  return true;
}

ArchiveLayout readArchiveLayout(int fd, uint64_t fileSize) {
  return readArchiveLayout([fd](uint64_t offset, void *data,
                                size_t count) { return readFully(fd, offset, data, count); },
                           fileSize);
}

ArchiveLayout readArchiveLayout(const ReadAt &readAt, uint64_t fileSize) {
  ArchiveLayout layout;
  const int64_t endPos = findEndRecord(readAt, fileSize);
  unsigned char end[kEndSize];
  if (endPos < 0 || !readAt(uint64_t(endPos), end, kEndSize))
    return layout;
  uint64_t count = u16(end + 10), size = u32(end + 12), offset = u32(end + 16);
  int64_t directoryPos = endPos - int64_t(size);
  // A zip64 end record, when there is one, is what the directory precedes.
  if (const std::optional<End64> end64 = findEnd64(readAt, endPos)) {
    if (count == 0xFFFF)
      count = end64->count;
    if (size == 0xFFFFFFFF)
      size = end64->size;
    if (offset == 0xFFFFFFFF)
      offset = end64->offset;
    directoryPos = size <= end64->pos ? int64_t(end64->pos - size) : -1;
  }
  if (directoryPos < 0 || size > kMaxDirectory)
    return layout;
  if (uint64_t(directoryPos) > offset)
    layout.shift = uint64_t(directoryPos) - offset;

  std::vector<unsigned char> directory(size);
  if (!readAt(uint64_t(directoryPos), directory.data(), directory.size()))
    return layout;
  layout.entries.reserve(std::min<uint64_t>(count, size / 46));
  for (uint64_t at = 0; at + 46 <= size && u32(&directory[at]) == kCentralSignature;) {
    const unsigned char *h = &directory[at];
    const uint64_t nameLen = u16(h + 28), extraLen = u16(h + 30), commentLen = u16(h + 32);
    if (at + 46 + nameLen + extraLen + commentLen > size)
      break;
    RawEntry entry;
    entry.flags = u16(h + 8);
    entry.method = u16(h + 10);
    entry.crc = u32(h + 16);
    entry.compressedSize = u32(h + 20);
    entry.uncompressedSize = u32(h + 24);
    entry.localHeader = u32(h + 42);
    parseZip64(h + 46 + nameLen, extraLen, entry, entry.uncompressedSize == 0xFFFFFFFF,
               entry.compressedSize == 0xFFFFFFFF, entry.localHeader == 0xFFFFFFFF);
    if ((entry.flags & kUtf8Flag) && !validUtf8(h + 46, nameLen)) {
      // Read under its raw bytes: the flag is hidden from the reader, which
      // would otherwise refuse the whole archive.
      entry.rawName = true;
      layout.hiddenFlags.push_back(uint64_t(directoryPos) + at + 8);
      unsigned char local[8];
      const uint64_t localPos = entry.localHeader + layout.shift;
      if (localPos <= UINT64_MAX - 8 && readAt(localPos, local, 8) &&
          u32(local) == kLocalSignature && (u16(local + 6) & kUtf8Flag))
        layout.hiddenFlags.push_back(localPos + 6);
    }
    layout.entries.push_back(entry);
    at += 46 + nameLen + extraLen + commentLen;
  }
  layout.hasDirectory = true;
  return layout;
}

bool dataOffset(int fd, uint64_t fileSize, uint64_t headerPos, uint64_t &offset) {
  unsigned char header[30];
  if (headerPos > fileSize || fileSize - headerPos < 30 || !readFully(fd, headerPos, header, 30) ||
      u32(header) != kLocalSignature)
    return false;
  offset = headerPos + 30 + u16(header + 26) + u16(header + 28);
  return offset <= fileSize;
}

} // namespace unziplib
