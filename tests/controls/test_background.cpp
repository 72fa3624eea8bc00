#include "controls/background.h"
#include "controls/background_paint.h"
#include "support/counter.h"

#include <QTest>
#include <gtest/gtest.h>

using namespace vantor;

namespace {

// A tile whose every pixel tells where in the tile it sits.
QImage codedTile(int width, int height) {
  QImage tile(width, height, QImage::Format_RGB888);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      tile.setPixel(x, y, qRgb(x, y, 77));
  return tile;
}

constexpr QRgb kUntouched = 0xFF123456;

QImage renderArea(TBackground &panel, const QRect &area) {
  QImage image(panel.size(), QImage::Format_RGB32);
  image.fill(kUntouched);
  panel.render(&image, area.topLeft(), QRegion(area), QWidget::RenderFlags());
  return image;
}

QImage renderAll(TBackground &panel) {
  return renderArea(panel, panel.rect());
}

// Counts paint events of a widget.
class PaintCounter final : public QObject {
public:
  int count = 0;
  bool eventFilter(QObject *, QEvent *event) override {
    if (event->type() == QEvent::Paint)
      ++count;
    return false;
  }
};

} // namespace

TEST(TilePieces, TilesFromTheControlOriginAcrossTheWholeControl) {
  const auto pieces = tilePieces(QRect(0, 0, 300, 200), QSize(128, 128));
  const std::vector<TilePiece> expected = {
      {QRect(0, 0, 128, 128), QPoint(0, 0)},    {QRect(0, 0, 128, 128), QPoint(128, 0)},
      {QRect(0, 0, 44, 128), QPoint(256, 0)},   {QRect(0, 0, 128, 72), QPoint(0, 128)},
      {QRect(0, 0, 128, 72), QPoint(128, 128)}, {QRect(0, 0, 44, 72), QPoint(256, 128)}};
  EXPECT_EQ(pieces, expected);
}

TEST(TilePieces, PartialAreaCopiesOnlyThePiecesThatMeetIt) {
  // The area (100, 100)-(150, 150) straddles four tiles.
  const auto pieces = tilePieces(QRect(QPoint(100, 100), QPoint(149, 149)), QSize(128, 128));
  const std::vector<TilePiece> expected = {{QRect(QPoint(100, 100), QPoint(127, 127)), {100, 100}},
                                           {QRect(QPoint(0, 100), QPoint(21, 127)), {128, 100}},
                                           {QRect(QPoint(100, 0), QPoint(127, 21)), {100, 128}},
                                           {QRect(QPoint(0, 0), QPoint(21, 21)), {128, 128}}};
  EXPECT_EQ(pieces, expected);
}

TEST(TilePieces, EmptyTileOrAreaGivesNothing) {
  EXPECT_TRUE(tilePieces(QRect(0, 0, 50, 50), QSize(0, 10)).empty());
  EXPECT_TRUE(tilePieces(QRect(0, 0, 50, 50), QSize(10, 0)).empty());
  EXPECT_TRUE(tilePieces(QRect(5, 5, 0, 0), QSize(10, 10)).empty());
}

TEST(TilePieces, PiecesCoverTheAreaExactlyOnce) {
  const QSize tile(7, 5);
  for (const QRect area :
       {QRect(0, 0, 30, 20), QRect(3, 4, 11, 13), QRect(13, 9, 1, 1), QRect(6, 4, 8, 6)}) {
    const int width = area.right() + 1;
    std::vector<int> hits(static_cast<size_t>(width * (area.bottom() + 1)), 0);
    for (const TilePiece &piece : tilePieces(area, tile)) {
      ASSERT_TRUE(QRect(QPoint(0, 0), tile).contains(piece.source));
      for (int y = 0; y < piece.source.height(); ++y)
        for (int x = 0; x < piece.source.width(); ++x) {
          const QPoint at = piece.target + QPoint(x, y);
          // Each copied pixel is the tile pixel the grid puts there.
          EXPECT_EQ(piece.source.x() + x, at.x() % tile.width());
          EXPECT_EQ(piece.source.y() + y, at.y() % tile.height());
          ++hits[static_cast<size_t>(at.y() * width + at.x())];
        }
    }
    for (int y = 0; y <= area.bottom(); ++y)
      for (int x = 0; x < width; ++x)
        EXPECT_EQ(hits[static_cast<size_t>(y * width + x)], area.contains(x, y) ? 1 : 0)
            << x << "," << y;
  }
}

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
  const struct {
    double value;
    int expected;
  } rows[] = {{0.5, 0},   {1.5, 2}, {2.5, 2},     {127.5, 128},  {128.5, 128},
              {2.4, 2},   {2.6, 3}, {-0.5, 0},    {-1.5, -2},    {-2.5, -2},
              {-2.6, -3}, {0.0, 0}, {255.0, 255}, {254.49, 254}, {1.5000001, 2}};
  for (const auto &row : rows)
    EXPECT_EQ(roundHalfEven(row.value), row.expected) << row.value;
}

TEST(GradientRows, WhiteToBlackOn256RowsStopsOneStepShortOfBlack) {
  for (int y = 0; y < 256; ++y) {
    const int grey = y <= 127 ? 255 - y : 256 - y;
    const TColor expected = static_cast<TColor>(grey * 0x010101);
    EXPECT_EQ(gradientRowColor(clWhite, clBlack, 256, y), expected) << "row " << y;
  }
}

TEST(GradientRows, ChannelsRunSeparatelyAndUntranslated) {
  const struct {
    TColor c1, c2;
    int height, y;
    TColor expected;
  } rows[] = {
      {0x0000FF, 0xFF0000, 4, 0, 0x0000FF}, // red to blue, row 0 is the first colour
      {0x0000FF, 0xFF0000, 4, 2, 0x800080}, // 127.5 and 127.5 round to 128
      {0x0000FF, 0xFF0000, 4, 3, 0xBF0040}, // 63.75 -> 64, 191.25 -> 191
      {0x123456, 0x123456, 9, 5, 0x123456}, // equal colours stay put
      {clBtnFace, clBlack, 2, 0, 0x00000F}, // system constants are read as stored
      {clWhite, clBlack, 0, 0, clWhite},    // no height: no division
      {clWhite, clBlack, -3, 2, clWhite},
  };
  for (const auto &row : rows)
    EXPECT_EQ(gradientRowColor(row.c1, row.c2, row.height, row.y), row.expected)
        << std::hex << row.c1 << " " << row.c2 << std::dec << " h" << row.height << " y" << row.y;
}

TEST(Background, NewPanelIsWhiteSingleColour144Square) {
  TBackground panel;
  EXPECT_EQ(panel.size(), QSize(144, 144));
  EXPECT_EQ(panel.backStyle(), TBackground::bgSingleColor);
  const QImage image = renderAll(panel);
  EXPECT_EQ(image.pixel(0, 0), qRgb(255, 255, 255));
  EXPECT_EQ(image.pixel(143, 143), qRgb(255, 255, 255));
}

TEST(Background, TiledPanelRepeatsTheTileFromTheOrigin) {
  TBackground panel;
  panel.resize(300, 200);
  panel.setBackStyle(TBackground::bgTileBitmap);
  const QImage tile = codedTile(128, 128);
  panel.setPicture(tile);
  const QImage image = renderAll(panel);
  for (const QPoint p : {QPoint(0, 0), QPoint(127, 127), QPoint(128, 0), QPoint(299, 199),
                         QPoint(256, 127), QPoint(200, 150), QPoint(255, 128)})
    EXPECT_EQ(image.pixel(p), tile.pixel(p.x() % 128, p.y() % 128)) << p.x() << "," << p.y();
}

TEST(Background, PartialRepaintOfTilesLinesUpAndStaysInsideTheArea) {
  TBackground panel;
  panel.resize(300, 200);
  panel.setBackStyle(TBackground::bgTileBitmap);
  const QImage tile = codedTile(128, 128);
  panel.setPicture(tile);
  const QRect area(QPoint(100, 100), QPoint(149, 149));
  const QImage image = renderArea(panel, area);
  for (int y = 90; y < 160; ++y)
    for (int x = 90; x < 160; ++x) {
      const QRgb expected = area.contains(x, y) ? tile.pixel(x % 128, y % 128) : kUntouched;
      ASSERT_EQ(image.pixel(x, y), expected) << x << "," << y;
    }
}

TEST(Background, GradientPaintsEveryRowAndPartialRepaintsJoin) {
  TBackground panel;
  panel.resize(3, 256);
  panel.setBackStyle(TBackground::bgSmooth);
  const QImage whole = renderAll(panel);
  const QImage lower = renderArea(panel, QRect(0, 128, 3, 20));
  for (int y = 0; y < 256; ++y) {
    const int grey = y <= 127 ? 255 - y : 256 - y;
    ASSERT_EQ(whole.pixel(2, y), qRgb(grey, grey, grey)) << "row " << y;
    if (y >= 128 && y < 148)
      ASSERT_EQ(lower.pixel(1, y), whole.pixel(1, y)) << "row " << y;
    else
      ASSERT_EQ(lower.pixel(1, y), kUntouched) << "row " << y;
  }
}

TEST(Background, GradientOfEqualColoursIsFlat) {
  TBackground panel;
  panel.resize(20, 37);
  panel.setBackStyle(TBackground::bgSmooth);
  panel.setColor1(0x336699);
  panel.setColor2(0x336699);
  const QImage image = renderAll(panel);
  for (int y = 0; y < 37; ++y)
    ASSERT_EQ(image.pixel(7, y), qRgb(0x99, 0x66, 0x33)) << y;
}

TEST(Background, SingleBitmapSitsTopLeftAtNaturalSize) {
  TBackground panel;
  panel.resize(100, 80);
  panel.setBackStyle(TBackground::bgSingleBitmap);
  panel.setColor1(clRed);
  const QImage picture = codedTile(50, 40);
  panel.setPicture(picture);
  const QImage image = renderAll(panel);
  EXPECT_EQ(image.pixel(0, 0), picture.pixel(0, 0));
  EXPECT_EQ(image.pixel(49, 39), picture.pixel(49, 39));
  EXPECT_EQ(image.pixel(20, 30), picture.pixel(20, 30));
  // Beyond the picture's edges: the first colour.
  EXPECT_EQ(image.pixel(50, 0), qRgb(255, 0, 0));
  EXPECT_EQ(image.pixel(0, 40), qRgb(255, 0, 0));
  EXPECT_EQ(image.pixel(99, 79), qRgb(255, 0, 0));
}

TEST(Background, EmptyPictureDrawsNothingInTheBitmapStyles) {
  for (auto style : {TBackground::bgSingleBitmap, TBackground::bgTileBitmap}) {
    TBackground panel;
    panel.resize(30, 30);
    panel.setBackStyle(style);
    const QImage image = renderAll(panel);
    if (style == TBackground::bgTileBitmap)
      EXPECT_EQ(image.pixel(10, 10), kUntouched);
    else
      EXPECT_EQ(image.pixel(10, 10), qRgb(255, 255, 255));
  }
}

TEST(Background, SetPictureCopiesTheContentAndKeepsItsFormat) {
  TBackground panel;
  QImage source = codedTile(4, 4);
  panel.setPicture(source);
  source.setPixel(1, 1, qRgb(0, 0, 0));
  EXPECT_EQ(panel.picture().pixel(1, 1), qRgb(1, 1, 77));
  EXPECT_EQ(panel.picture().format(), QImage::Format_RGB888);
  panel.setPicture(panel.picture()); // the held picture itself: nothing happens
  EXPECT_EQ(panel.picture().size(), QSize(4, 4));
}

TEST(Background, SettersInvalidateEvenWhenTheValueIsUnchanged) {
  QWidget window;
  window.resize(200, 200);
  TBackground panel(&window);
  PaintCounter counter;
  panel.installEventFilter(&counter);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  const std::vector<std::function<void()>> setters = {
      [&] { panel.setBackStyle(panel.backStyle()); },
      [&] { panel.setColor1(panel.color1()); },
      [&] { panel.setColor2(panel.color2()); },
  };
  for (const auto &set : setters) {
    QCoreApplication::processEvents();
    const int before = counter.count;
    set();
    QCoreApplication::processEvents();
    EXPECT_GT(counter.count, before);
  }
  // A new picture repaints at once, without waiting for the event loop.
  int before = counter.count;
  panel.setPicture(codedTile(8, 8));
  EXPECT_GT(counter.count, before);
  before = counter.count;
  panel.setPicture(panel.picture());
  EXPECT_EQ(counter.count, before);
}

TEST(Background, MouseEventsArePassedOnWithPanelCoordinates) {
  QWidget window;
  window.resize(200, 200);
  TBackground panel(&window);
  panel.move(10, 10);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  test::MouseRecorder down, move, up;
  test::Counter click;
  panel.OnMouseDown = down.handler();
  panel.OnMouseMove = move.moveHandler();
  panel.OnMouseUp = up.handler();
  panel.OnClick = click.handler();

  QTest::mousePress(&panel, Qt::RightButton, Qt::NoModifier, QPoint(5, 6));
  QTest::mouseMove(&panel, QPoint(20, 30));
  QTest::mouseRelease(&panel, Qt::RightButton, Qt::NoModifier, QPoint(20, 30));
  QTest::mouseClick(&panel, Qt::LeftButton, Qt::NoModifier, QPoint(40, 41));

  ASSERT_EQ(down.count(), 2);
  EXPECT_EQ(down[0].sender, &panel);
  EXPECT_EQ(down[0].button, Qt::RightButton);
  EXPECT_EQ(down[0].x, 5);
  EXPECT_EQ(down[0].y, 6);
  ASSERT_GE(move.count(), 1);
  EXPECT_EQ(move.last().x, 20);
  EXPECT_EQ(move.last().y, 30);
  ASSERT_EQ(up.count(), 2);
  EXPECT_EQ(up[0].x, 20);
  EXPECT_EQ(click.count(), 1); // only the left button clicks
}

TEST(Background, ClientAlignmentFollowsTheParentsSize) {
  QWidget window;
  window.resize(356, 381);
  TBackground panel(&window);
  panel.setAlign(TBackground::alClient);
  EXPECT_EQ(panel.geometry(), QRect(0, 0, 356, 381));
  window.resize(300, 300); // hidden: Qt delivers the resize when shown
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  EXPECT_EQ(panel.geometry(), QRect(0, 0, 300, 300));
  window.resize(400, 310);
  EXPECT_EQ(panel.geometry(), QRect(0, 0, 400, 310));
}
