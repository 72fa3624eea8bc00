#pragma once

#include <QRect>

namespace vantor {

// A rectangle by its four edges, left, top, right, bottom, with the right and
// bottom edges excluded: the form the controls' focus and thumb rectangles
// are handed around in, so handlers can move single edges.
struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  int width() const { return Right - Left; }
  int height() const { return Bottom - Top; }
  QRect toQRect() const { return QRect(Left, Top, width(), height()); }
  // Narrowed by d on every side.
  TRect shrunk(int d) const { return {Left + d, Top + d, Right - d, Bottom - d}; }
  // Moved so its left (top) edge is at the given place, keeping its size.
  void moveLeftTo(int left) {
    Right += left - Left;
    Left = left;
  }
  void moveTopTo(int top) {
    Bottom += top - Top;
    Top = top;
  }
  // The right and bottom edges moved so the size is w x h.
  void setSize(int w, int h) {
    Right = Left + w;
    Bottom = Top + h;
  }
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
