#include "archivelayout.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace unziplib {
namespace {

constexpr uint32_t EndSignature = 0x06054B50;
constexpr uint32_t End64Signature = 0x06064B50;
constexpr uint32_t Locator64Signature = 0x07064B50;
constexpr uint32_t CentralSignature = 0x02014B50;
constexpr uint32_t LocalSignature = 0x04034B50;
constexpr uint64_t EndSize = 22;
constexpr uint64_t MaxComment = 0xFFFF;
constexpr uint64_t MaxDirectory = uint64_t(1) << 30;

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
  if (fileSize < EndSize)
    return -1;
  const uint64_t start = fileSize > EndSize + MaxComment ? fileSize - EndSize - MaxComment : 0;
  std::vector<unsigned char> tail(fileSize - start);
  if (!readAt(start, tail.data(), tail.size()))
    return -1;
  int64_t fallback = -1;
  for (int64_t i = int64_t(tail.size() - EndSize); i >= 0; --i) {
    if (u32(&tail[i]) != EndSignature)
      continue;
    if (uint64_t(i) + EndSize + u16(&tail[i + 20]) == tail.size())
      return int64_t(start) + i;
    if (fallback < 0)
      fallback = int64_t(start) + i;
  }
  return fallback;
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
  unsigned char end[EndSize];
  if (endPos < 0 || !readAt(uint64_t(endPos), end, EndSize))
    return layout;
  uint64_t count = u16(end + 10), size = u32(end + 12), offset = u32(end + 16);
  int64_t directoryPos = endPos - int64_t(size);
  if (count == 0xFFFF || size == 0xFFFFFFFF || offset == 0xFFFFFFFF) {
    unsigned char locator[20], end64[56];
    const int64_t pos64 = endPos - 20 - 56;
    if (pos64 >= 0 && readAt(uint64_t(endPos - 20), locator, 20) &&
        u32(locator) == Locator64Signature && readAt(uint64_t(pos64), end64, 56) &&
        u32(end64) == End64Signature) {
      count = u64(end64 + 32);
      size = u64(end64 + 40);
      offset = u64(end64 + 48);
      directoryPos = size <= uint64_t(pos64) ? pos64 - int64_t(size) : -1;
    }
  }
  if (directoryPos < 0 || size > MaxDirectory)
    return layout;
  if (uint64_t(directoryPos) > offset)
    layout.shift = uint64_t(directoryPos) - offset;

  std::vector<unsigned char> directory(size);
  if (!readAt(uint64_t(directoryPos), directory.data(), directory.size()))
    return layout;
  layout.entries.reserve(std::min<uint64_t>(count, size / 46));
  for (uint64_t at = 0; at + 46 <= size && u32(&directory[at]) == CentralSignature;) {
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
    layout.entries.push_back(entry);
    at += 46 + nameLen + extraLen + commentLen;
  }
  layout.hasDirectory = true;
  return layout;
}

bool dataOffset(int fd, uint64_t fileSize, uint64_t headerPos, uint64_t &offset) {
  unsigned char header[30];
  if (headerPos > fileSize || fileSize - headerPos < 30 || !readFully(fd, headerPos, header, 30) ||
      u32(header) != LocalSignature)
    return false;
  offset = headerPos + 30 + u16(header + 26) + u16(header + 28);
  return offset <= fileSize;
}

} // namespace unziplib
