#pragma once

#include <QtGlobal>

namespace vantor {

// Bounds on what a decoder will allocate for one picture, whatever a file's
// header claims: a snapshot is a few hundred pixels wide.
inline constexpr int kMaxImageSide = 16384;
inline constexpr qint64 kMaxImageBytes = qint64(256) * 1024 * 1024;

// A progressive JPEG is decoded once per scan: common encoders write at most
// a few dozen scans, and the work grows with scans times pixels.
inline constexpr int kMaxJpegScans = 64;
inline constexpr qint64 kMaxJpegScanPixels = qint64(64) * 1024 * 1024;

inline bool imageSizeAllowed(qint64 width, qint64 height, int bytesPerPixel) {
  return width > 0 && height > 0 && width <= kMaxImageSide && height <= kMaxImageSide &&
         width * height * bytesPerPixel <= kMaxImageBytes;
}

} // namespace vantor
