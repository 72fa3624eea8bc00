#pragma once

#include "controls/rect.h"

#include <QImage>
#include <QPoint>
#include <QSize>
#include <algorithm>
#include <cstdint>

namespace vantor::slider {

// Nearest integer of num / den, ties to even (61.5 -> 62, 184.5 -> 184).
std::int64_t roundDiv(std::int64_t num, std::int64_t den);

// v clamped to lo..hi; while stored values are set as a batch the bounds
// may cross, and the upper one wins then.
inline int clampToRange(std::int64_t v, int lo, int hi) {
  return static_cast<int>(std::min<std::int64_t>(std::max<std::int64_t>(v, lo), hi));
}

// The ruler and thumb start this far inside the track area, at both ends.
constexpr int kTrackInset = 6;

// The ruler's length along the track: the track area's less the inset at
// both ends, never below 0.
int rulerLength(const TRect &track, bool vertical);

// Where the elements go in the track area: thumb and ruler at the inset,
// the thinner of the two centred across the thicker; the point marks just
// beyond the thicker one (horizontal: below, from marksTop; vertical: to the
// right, from marksLeft), starting where the ruler starts.
struct ElementLayout {
  QPoint thumb; // top-left corner
  QPoint ruler; // top-left corner
  int marksTop = 0;
  int marksLeft = 0;
};
ElementLayout layoutElements(const TRect &track, bool vertical, QSize thumb, QSize ruler);

// The track-related numbers the value/offset mapping needs.
struct TrackGeometry {
  bool vertical = false;
  TRect track; // the track area R
  int clientHeight = 0;
  QSize thumb;         // one thumb state, TW x TH
  int rulerLength = 0; // RL, the built ruler's length along the track
  int minValue = 0;
  int maxValue = 100;
  int increment = 10;
  bool smooth = false;

  int origin() const { return (vertical ? track.Top : track.Left) + kTrackInset; }
  int travel() const { return rulerLength - (vertical ? thumb.height() : thumb.width()); }
  // The thumb's leading edge for value v; never below the origin.
  int valueToOffset(int v) const;
  // The value for a thumb edge at p, snapped to the increment grid unless smooth.
  int offsetToValue(int p) const;
  // p clamped to the travel and snapped to the position of its value.
  int snapOffset(int p) const;
};

// The ruler image stretched along the track: the first and last `edge`
// pixels of the source are its end caps, the middle part is repeated.
// `length` is the wanted length along the track; across it the source's
// size is kept. The result keeps the source's pixel format (images below
// 8 bits per pixel are widened to Indexed8 first).
QImage buildRuler(const QImage &source, bool vertical, int length, int edge);

// The colour left out when a bitmap is drawn: white for monochrome bitmaps,
// otherwise the colour of the bottom-left pixel.
QRgb transparentColor(const QImage &image);
// A copy ready to draw, with the transparent colour cleared.
QImage withTransparency(const QImage &image, QRgb key);

// The point-mark stride: multiplier k of the step and the number n of gaps.
struct MarkStride {
  int k = 1;
  int n = 0;
};
MarkStride markStride(int range, int step, int travel);

} // namespace vantor::slider
