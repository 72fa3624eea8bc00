#pragma once

#include <QtGlobal>

namespace vantor {

// Bounds on what a decoder will allocate for one picture, whatever a file's
// header claims: a snapshot is a few hundred pixels wide.
inline constexpr int kMaxImageSide = 16384;
inline constexpr qint64 kMaxImageBytes = qint64(256) * 1024 * 1024;

inline bool imageSizeAllowed(qint64 width, qint64 height, int bytesPerPixel) {
  return width > 0 && height > 0 && width <= kMaxImageSide && height <= kMaxImageSide &&
         width * height * bytesPerPixel <= kMaxImageBytes;
}

} // namespace vantor
