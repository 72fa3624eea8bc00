#include "controls/valueslidergeometry.h"

#include <algorithm>
#include <cstring>

namespace vantor::slider {

std::int64_t roundDiv(std::int64_t num, std::int64_t den) {
  if (den == 0)
    return 0;
  if (den < 0) {
    num = -num;
    den = -den;
  }
  std::int64_t q = num / den; // toward zero
  std::int64_t r = num % den; // same sign as num
  const std::int64_t twice = 2 * (r < 0 ? -r : r);
  if (twice > den || (twice == den && (q % 2 != 0)))
    q += (num < 0) ? -1 : 1;
  return q;
}

int rulerLength(const TRect &track, bool vertical) {
  return std::max((vertical ? track.height() : track.width()) - 2 * kTrackInset, 0);
}

ElementLayout layoutElements(const TRect &track, bool vertical, QSize thumb, QSize ruler) {
  ElementLayout placed;
  const int left = track.Left + kTrackInset, top = track.Top + kTrackInset;
  if (!vertical) {
    const int th = thumb.height(), rh = ruler.height();
    placed.thumb = QPoint(left, th > rh ? top : top + (rh - th) / 2);
    placed.ruler = QPoint(left, th > rh ? top + (th - rh) / 2 : top);
    placed.marksTop = top + std::max(th, rh) + 1;
    placed.marksLeft = placed.ruler.x();
  } else {
    const int tw = thumb.width(), rw = ruler.width();
    placed.thumb = QPoint(tw > rw ? left : left + (rw - tw) / 2, top);
    placed.ruler = QPoint(tw > rw ? left + (tw - rw) / 2 : left, top);
    placed.marksLeft = left + std::max(tw, rw) + 1;
    placed.marksTop = placed.ruler.y();
  }
  return placed;
}

int TrackGeometry::valueToOffset(int v) const {
  const std::int64_t range = std::int64_t(maxValue) - minValue;
  const int o = origin();
  std::int64_t p = o + roundDiv(std::int64_t(travel()) * (std::int64_t(v) - minValue), range);
  if (vertical)
    p = std::int64_t(track.Top) + track.Bottom - p - thumb.height();
  return static_cast<int>(std::max<std::int64_t>(p, o));
}

int TrackGeometry::offsetToValue(int p) const {
  if (vertical)
    p = clientHeight - p - thumb.height();
  const std::int64_t range = std::int64_t(maxValue) - minValue;
  const int l = travel();
  std::int64_t d = l > 0 ? roundDiv((std::int64_t(p) - origin()) * range, l) : 0;
  if (!smooth && increment > 0)
    d = roundDiv(d, increment) * increment;
  const std::int64_t v = std::max<std::int64_t>(d, 0) + minValue;
  return static_cast<int>(std::min<std::int64_t>(v, maxValue));
}

int TrackGeometry::snapOffset(int p) const {
  const int o = origin();
  const int end = o + std::max(travel(), 0);
  p = std::clamp(p, o, end);
  return std::min(valueToOffset(offsetToValue(p)), end);
}

namespace {

// Copies `count` pixels along the track from source position `from` to
// result position `to`, across the whole thickness, clipped to both images.
void copyAlong(const QImage &src, QImage &dst, bool vertical, int from, int to, int count) {
  const int srcLen = vertical ? src.height() : src.width();
  const int dstLen = vertical ? dst.height() : dst.width();
  if (from < 0) {
    to -= from;
    count += from;
    from = 0;
  }
  if (to < 0) {
    from -= to;
    count += to;
    to = 0;
  }
  count = std::min({count, srcLen - from, dstLen - to});
  if (count <= 0)
    return;
  const int bpp = src.depth() / 8;
  if (vertical) {
    const int rowBytes = src.width() * bpp;
    for (int i = 0; i < count; ++i)
      std::memcpy(dst.scanLine(to + i), src.constScanLine(from + i), rowBytes);
  } else {
    for (int y = 0; y < src.height(); ++y)
      std::memcpy(dst.scanLine(y) + to * bpp, src.constScanLine(y) + from * bpp, count * bpp);
  }
}

} // namespace

QImage buildRuler(const QImage &source, bool vertical, int length, int edge) {
  QImage s = source;
  if (s.isNull())
    return {};
  if (s.depth() < 8)
    s = s.convertToFormat(QImage::Format_Indexed8);
  const int srcLen = vertical ? s.height() : s.width();
  length = std::max(length, 0);
  QImage result =
      vertical ? QImage(s.width(), length, s.format()) : QImage(length, s.height(), s.format());
  if (result.isNull())
    return result;
  result.setColorTable(s.colorTable());
  result.fill(0);
  // An edge too long for the picture would leave no middle part to repeat.
  edge = std::clamp(edge, 0, std::max((srcLen - 1) / 2, 0));
  const int m = srcLen - 2 * edge;
  if (m <= 0)
    return result;
  const int total = length - 2 * edge;
  const int n = total / m + 1;
  const int rem = total % m;
  if (n < 1)
    return result;
  copyAlong(s, result, vertical, 0, 0, srcLen - edge);
  for (int i = 1; i < n - 1; ++i)
    copyAlong(s, result, vertical, edge, edge + i * m, m);
  if (n > 1)
    copyAlong(s, result, vertical, edge + m - rem, edge + (n - 1) * m, rem + edge);
  return result;
}

QRgb transparentColor(const QImage &image) {
  if (image.isNull())
    return qRgb(255, 255, 255);
  if (image.depth() == 1)
    return qRgb(255, 255, 255);
  return image.pixel(0, image.height() - 1) | 0xFF000000u;
}

QImage withTransparency(const QImage &image, QRgb key) {
  QImage out = image.convertToFormat(QImage::Format_ARGB32);
  key &= 0x00FFFFFFu;
  for (int y = 0; y < out.height(); ++y) {
    auto *line = reinterpret_cast<QRgb *>(out.scanLine(y));
    for (int x = 0; x < out.width(); ++x)
      if ((line[x] & 0x00FFFFFFu) == key)
        line[x] = 0;
  }
  return out.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

MarkStride markStride(int range, int step, int travel) {
  // The first k whose gap travel div n reaches 4 (or the whole travel) is the
  // first k with n <= max(travel div 4, 1); n only falls as k grows, so a
  // search finds it without walking every k of a huge range.
  MarkStride s;
  if (step <= 0)
    return s;
  const auto count = [&](std::int64_t k) { return roundDiv(range, std::int64_t(step) * k); };
  if (travel > 0) {
    const std::int64_t limit = std::max(travel / 4, 1);
    std::int64_t lo = 1, hi = 1;
    while (count(hi) > limit) {
      lo = hi + 1;
      hi *= 2;
    }
    while (lo < hi) {
      const std::int64_t mid = lo + (hi - lo) / 2;
      if (count(mid) > limit)
        lo = mid + 1;
      else
        hi = mid;
    }
    s.k = static_cast<int>(lo);
  }
  s.n = static_cast<int>(count(s.k));
  return s;
}

} // namespace vantor::slider
