#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace unziplib {

// The zip format's record signatures, read as little-endian 32-bit values, and
// the fixed size of its end record; the program's header walk checks the same.
inline constexpr uint32_t kLocalSignature = 0x04034B50;
inline constexpr uint32_t kCentralSignature = 0x02014B50;
inline constexpr uint32_t kEndSignature = 0x06054B50;
inline constexpr uint32_t kEnd64Signature = 0x06064B50;
inline constexpr uint32_t kLocator64Signature = 0x07064B50;
inline constexpr uint32_t kDescriptorSignature = 0x08074B50;
inline constexpr uint64_t kEndSize = 22;

// One central directory record, as stored.
struct RawEntry {
  uint64_t localHeader = 0; // offset as stored (add the layout's shift)
  uint64_t compressedSize = 0;
  uint64_t uncompressedSize = 0;
  uint32_t crc = 0;
  uint16_t method = 0;
  uint16_t flags = 0;
  bool zip64 = false;   // a zip64 extra field was present
  bool rawName = false; // flagged UTF-8 but is not: taken as raw bytes
};

// Where an archive really sits in its file. Data in front of an archive whose
// offsets were never adjusted (a stub simply concatenated before it) shifts
// every stored offset: the end record's position minus the directory's size
// gives the directory's real position, and the difference to its stored
// offset is the shift.
struct ArchiveLayout {
  uint64_t shift = 0;
  bool hasDirectory = false;
  std::vector<RawEntry> entries;
  // File positions of general-purpose flag fields whose UTF-8 bit the reader
  // must not see (names flagged UTF-8 that are not).
  std::vector<uint64_t> hiddenFlags;
};

// Reads `count` bytes at `offset`; false when short.
using ReadAt = std::function<bool(uint64_t offset, void *data, size_t count)>;

// Reads the layout of an archive of `fileSize` bytes; an unreadable directory
// gives a layout without one. The program's header walk reads the same
// directory through its own byte source.
ArchiveLayout readArchiveLayout(const ReadAt &readAt, uint64_t fileSize);
ArchiveLayout readArchiveLayout(int fd, uint64_t fileSize);

// Reads exactly `count` bytes at `offset`; false when short.
bool readFully(int fd, uint64_t offset, void *data, size_t count);

// The offset of an entry's data: its local header's fixed part, name and extra
// field skipped. False when the header is not where the layout says.
bool dataOffset(int fd, uint64_t fileSize, uint64_t headerPos, uint64_t &offset);

} // namespace unziplib
