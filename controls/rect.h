#pragma once

namespace vantor {

// A rectangle as the design gives it: left, top, right, bottom, with the
// right and bottom edges excluded.
struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  int width() const { return Right - Left; }
  int height() const { return Bottom - Top; }
  // The focus painter's "not given yet": Right and Bottom both 0.
  bool isUnset() const { return Right == 0 && Bottom == 0; }
  // Edges included on all four sides.
  bool containsClosed(int x, int y) const {
    return x >= Left && x <= Right && y >= Top && y <= Bottom;
  }
  // Right and bottom edges excluded.
  bool containsOpen(int x, int y) const { return x >= Left && x < Right && y >= Top && y < Bottom; }
  friend bool operator==(const TRect &, const TRect &) = default;
};

} // namespace vantor
