#include "controls/valueslidergeometry.h"

#include <gtest/gtest.h>

using namespace vantor::slider;

namespace {

struct RoundCase {
  std::int64_t num, den, expected;
};

TEST(SliderRounding, TiesGoToEven) {
  const RoundCase cases[] = {
      {123, 2, 62}, {369, 2, 184}, {5, 2, 2},   {7, 2, 4},   {-5, 2, -2}, {-7, 2, -4},
      {1, 3, 0},    {2, 3, 1},     {-2, 3, -1}, {15, 10, 2}, {5, 10, 0},  {25, 10, 2},
      {35, 10, 4},  {0, 7, 0},     {9, -2, -4}, {1, 2, 0},   {3, 2, 2},
  };
  for (const auto &c : cases)
    EXPECT_EQ(roundDiv(c.num, c.den), c.expected) << c.num << "/" << c.den;
}

// The frame-skip slider of the setup window.
TrackGeometry frameSkip() {
  TrackGeometry g;
  g.track = {1, 1, 272, 32};
  g.clientHeight = 33;
  g.thumb = QSize(13, 21);
  g.rulerLength = 259;
  g.minValue = 0;
  g.maxValue = 4;
  g.increment = 1;
  return g;
}

TEST(SliderGeometry, FrameSkipStops) {
  const TrackGeometry g = frameSkip();
  EXPECT_EQ(g.origin(), 7);
  EXPECT_EQ(g.travel(), 246);
  const int lefts[] = {7, 69, 130, 191, 253};
  for (int v = 0; v <= 4; ++v) {
    EXPECT_EQ(g.valueToOffset(v), lefts[v]) << v;
    EXPECT_EQ(g.offsetToValue(lefts[v]), v) << v;
  }
}

TEST(SliderGeometry, SnapWithAndWithoutSmooth) {
  TrackGeometry g;
  g.track = {0, 0, 150, 40};
  g.clientHeight = 40;
  g.thumb = QSize(9, 17);
  g.rulerLength = 138; // L = 129
  g.increment = 10;
  struct Row {
    int p, grid, smooth;
  } rows[] = {
      {6, 0, 0},   {7, 0, 1},    {12, 0, 5},   {13, 0, 5}, // 5 / 10 rounds to 0
      {14, 10, 6}, {25, 20, 15}, {70, 50, 50}, {135, 100, 100}, {140, 100, 100}, {0, 0, 0},
  };
  for (const auto &r : rows) {
    g.smooth = false;
    EXPECT_EQ(g.offsetToValue(r.p), r.grid) << "p=" << r.p;
    g.smooth = true;
    EXPECT_EQ(g.offsetToValue(r.p), r.smooth) << "p=" << r.p;
  }
  g.smooth = true;
  for (int p = 6; p <= 135; ++p)
    EXPECT_EQ(g.offsetToValue(p), roundDiv((p - 6) * 100, 129)) << p;
  // Snapping puts the thumb on the position of its grid value.
  g.smooth = false;
  EXPECT_EQ(g.snapOffset(24), g.valueToOffset(10));
  EXPECT_EQ(g.snapOffset(-50), 6);
  EXPECT_EQ(g.snapOffset(500), 135);
}

TEST(SliderGeometry, VerticalValuesGrowUpward) {
  TrackGeometry g;
  g.vertical = true;
  g.track = {0, 0, 40, 150};
  g.clientHeight = 150;
  g.thumb = QSize(19, 9);
  g.rulerLength = 138; // L = 129
  g.smooth = true;
  EXPECT_EQ(g.valueToOffset(0), 150 - 6 - 9);
  EXPECT_EQ(g.valueToOffset(100), 6);
  for (int v : {0, 10, 37, 50, 99, 100})
    EXPECT_EQ(g.offsetToValue(g.valueToOffset(v)), v) << v;
}

// An 8-bit picture whose column (or row) n holds palette index n.
QImage ramp(int length, bool vertical) {
  QImage img = vertical ? QImage(3, length, QImage::Format_Indexed8)
                        : QImage(length, 3, QImage::Format_Indexed8);
  QList<QRgb> table;
  for (int i = 0; i < 256; ++i)
    table << qRgb(i, i, i);
  img.setColorTable(table);
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      img.setPixel(x, y, vertical ? y : x);
  return img;
}

std::vector<int> along(const QImage &img, bool vertical) {
  std::vector<int> out;
  const int n = vertical ? img.height() : img.width();
  for (int i = 0; i < n; ++i)
    out.push_back(vertical ? img.pixelIndex(1, i) : img.pixelIndex(i, 1));
  return out;
}

TEST(SliderRuler, StretchKeepsBothEndCaps) {
  struct Row {
    int length;
    std::vector<int> expected;
  } rows[] = {
      {25, {0, 1, 2, 3, 4, 5, 6, 7, 2, 3, 4, 5, 6, 7, 2, 3, 4, 5, 6, 7, 5, 6, 7, 8, 9}},
      {14, {0, 1, 2, 3, 4, 5, 6, 7, 4, 5, 6, 7, 8, 9}},
      {10, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
      {8, {0, 1, 2, 3, 4, 5, 6, 7}}, // one piece, clipped
      {3, {0, 1, 2}},
      {0, {}},
  };
  for (bool vertical : {false, true})
    for (const auto &r : rows) {
      const QImage built = buildRuler(ramp(10, vertical), vertical, r.length, 2);
      if (r.length == 0) {
        EXPECT_TRUE(built.isNull() || (vertical ? built.height() : built.width()) == 0);
        continue;
      }
      EXPECT_EQ(built.format(), QImage::Format_Indexed8);
      EXPECT_EQ(vertical ? built.width() : built.height(), 3);
      EXPECT_EQ(along(built, vertical), r.expected) << "length " << r.length;
    }
}

TEST(SliderRuler, ZeroEdgeRepeatsWholePicture) {
  const QImage built = buildRuler(ramp(4, false), false, 10, 0);
  EXPECT_EQ(along(built, false), (std::vector<int>{0, 1, 2, 3, 0, 1, 2, 3, 2, 3}));
}

TEST(SliderRuler, TransparentColourIsBottomLeftOrWhite) {
  QImage img(4, 3, QImage::Format_RGB888);
  img.fill(Qt::red);
  img.setPixelColor(0, 2, QColor(1, 2, 3));
  EXPECT_EQ(transparentColor(img) & 0xFFFFFF, qRgb(1, 2, 3) & 0xFFFFFF);
  QImage mono(4, 3, QImage::Format_Mono);
  mono.fill(0);
  EXPECT_EQ(transparentColor(mono) & 0xFFFFFF, 0xFFFFFFu);
  const QImage drawn = withTransparency(img, transparentColor(img));
  EXPECT_EQ(qAlpha(drawn.pixel(0, 2)), 0);
  EXPECT_EQ(qAlpha(drawn.pixel(1, 1)), 255);
}

// The stride rule written out step by step, to check the search against.
MarkStride literalStride(int range, int step, int travel) {
  for (int k = 1;; ++k) {
    const int n = static_cast<int>(roundDiv(range, std::int64_t(step) * k));
    const int gap = n > 0 ? travel / n : travel;
    if (gap >= 4 || gap >= travel)
      return {k, n};
  }
}

TEST(SliderMarks, StrideMatchesTheRule) {
  EXPECT_EQ(markStride(4, 1, 246).k, 1);
  EXPECT_EQ(markStride(4, 1, 246).n, 4);
  EXPECT_EQ(markStride(100, 1, 100).k, 4);
  EXPECT_EQ(markStride(100, 1, 100).n, 25);
  for (int range : {1, 2, 3, 7, 10, 99, 100, 255, 1000, 4097})
    for (int step : {1, 2, 3, 7, 10, 50})
      for (int travel : {-3, 0, 1, 2, 3, 4, 5, 17, 129, 246, 1000}) {
        const MarkStride got = markStride(range, step, travel);
        const MarkStride want = literalStride(range, step, travel);
        EXPECT_EQ(got.k, want.k) << range << " " << step << " " << travel;
        EXPECT_EQ(got.n, want.n) << range << " " << step << " " << travel;
      }
  // A huge range still finds its stride quickly.
  const MarkStride big = markStride(2000000000, 1, 246);
  EXPECT_LE(big.n, 61);
  EXPECT_GT(roundDiv(2000000000, big.k - 1), 61);
}

} // namespace
