#pragma once

#include "controls/colors.h"

#include <QPoint>
#include <QRect>
#include <QSize>
#include <vector>

namespace vantor {

// One block copy of the tiler: the piece of the tile at `source` lands with
// its top-left at `target`.
struct TilePiece {
  QRect source;
  QPoint target;
  friend bool operator==(const TilePiece &, const TilePiece &) = default;
};

// The copies that cover `area` with `tile` repeated from the control's (0, 0);
// each copy stays inside one tile. Empty for an empty tile or area.
std::vector<TilePiece> tilePieces(const QRect &area, const QSize &tile);

// Nearest integer, halves to the even neighbour.
int roundHalfEven(double value);

// Colour of gradient row `y` on a control `height` rows high, from `color1`
// on row 0 towards `color2`: each channel is c1 + y * (c2 - c1) / height,
// rounded half to even. Channels are read from the stored 0x00BBGGRR value
// untranslated. A height of 0 or less gives `color1`.
TColor gradientRowColor(TColor color1, TColor color2, int height, int y);

} // namespace vantor
