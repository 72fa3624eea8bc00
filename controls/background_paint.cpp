#include "controls/background_paint.h"

#include <algorithm>
#include <cmath>

namespace vantor {

std::vector<TilePiece> tilePieces(const QRect &area, const QSize &tile) {
  std::vector<TilePiece> pieces;
  if (tile.width() <= 0 || tile.height() <= 0 || area.isEmpty())
    return pieces;
  // Exclusive right and bottom edges, as the copy loop walks them.
  const int areaRight = area.x() + area.width();
  const int areaBottom = area.y() + area.height();
  // Floor modulo keeps the grid anchored at (0, 0) for areas left of or above it.
  const auto wrap = [](int v, int m) { return ((v % m) + m) % m; };
  int x = area.x();
  int y = area.y();
  int rowHeight = 0;
  while (y < areaBottom && x < areaRight) {
    const int sx = wrap(x, tile.width());
    const int sy = wrap(y, tile.height());
    const int w = std::min(areaRight - x, tile.width() - sx);
    const int h = std::min(areaBottom - y, tile.height() - sy);
    pieces.push_back({QRect(sx, sy, w, h), QPoint(x, y)});
    rowHeight = h;
    x += w;
    if (x >= areaRight) {
      x = area.x();
      y += rowHeight;
    }
  }
  return pieces;
}

int roundHalfEven(double value) {
  const double floor = std::floor(value);
  const double fraction = value - floor;
  auto result = static_cast<long long>(floor);
  if (fraction > 0.5 || (fraction == 0.5 && (result % 2 != 0)))
    ++result;
  return static_cast<int>(result);
}

TColor gradientRowColor(TColor color1, TColor color2, int height, int y) {
  if (height <= 0)
    return color1 & 0xFFFFFFu;
  TColor result = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const int c1 = static_cast<int>((color1 >> shift) & 0xFF);
    const int c2 = static_cast<int>((color2 >> shift) & 0xFF);
    const double step = static_cast<double>(c2 - c1) / height;
    const int channel = std::clamp(roundHalfEven(c1 + step * y), 0, 255);
    result |= static_cast<TColor>(channel) << shift;
  }
  return result;
}

} // namespace vantor
