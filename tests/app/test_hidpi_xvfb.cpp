// The windows at the scale QT_SCALE_FACTOR gives, on a real X server (run by
// xvfb-run): skins drawn pixel for pixel, outlines cut along the scaled mask,
// hit tests and dragging in window coordinates.
#include "controls/background.h"
#include "controls/form.h"
#include "controls/formshaper.h"
#include "controls/image.h"
#include "controls/shadowlabel.h"
#include "launcher/mainwindow.h"
#include "platform/clock.h"
#include "settings/setupwindow.h"
#include "skins/skins.h"
#include "support/scopedhook.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QSet>
#include <QTest>
#include <cmath>
#include <gtest/gtest.h>

using namespace vantor;

namespace {

constexpr QRgb kYellow = 0xFFFFFF00;

qreal scale() {
  return qEnvironmentVariableIsSet("QT_SCALE_FACTOR") ? qgetenv("QT_SCALE_FACTOR").toDouble() : 1.0;
}

bool integerScale() {
  return std::floor(scale()) == scale();
}

// The logical pixel whose picture a device pixel shows.
QPoint logicalOf(QPoint device) {
  return {int(std::floor((device.x() + 0.5) / scale())),
          int(std::floor((device.y() + 0.5) / scale()))};
}

QSet<QRgb> colours(const QImage &image) {
  QSet<QRgb> set;
  const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
  for (int y = 0; y < rgb.height(); ++y)
    for (int x = 0; x < rgb.width(); ++x)
      set.insert(rgb.pixel(x, y));
  return set;
}

// What the X server shows where the window is, a device pixel each.
QImage onScreen(QWidget *form) {
  const QRect g = form->frameGeometry();
  return form->screen()
      ->grabWindow(0, g.x(), g.y(), g.width(), g.height())
      .toImage()
      .convertToFormat(QImage::Format_RGB32);
}

QRgb rootColour(QWidget *form) {
  return form->screen()->grabWindow(0, 0, 0, 1, 1).toImage().pixel(0, 0);
}

bool windowAt(QWidget *form, QPoint local) {
  QWidget *hit = QApplication::widgetAt(form->mapToGlobal(local));
  return hit != nullptr && hit->window() == form;
}

bool onX() {
  return QGuiApplication::platformName() == QLatin1String("xcb");
}

// A bare shaped form with the big skin, so every pixel on screen is the skin's.
class ShapedSkin : public ::testing::Test {
protected:
  void SetUp() override {
    if (!onX())
      GTEST_SKIP() << "needs a real X server";
    skin = skins::image(QStringLiteral("backbig")).convertToFormat(QImage::Format_RGB32);
    back = new TImage(&form);
    shaper = new TFormShaper(&form);
    shaper->maskedPicture()->setMaskColor(clYellow);
    shaper->setShowCaption(false);
    shaper->setBackgrnd(back);
    shaper->maskedPicture()->setPicture(skin);
    form.move(40, 30);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    ASSERT_DOUBLE_EQ(form.devicePixelRatioF(), scale());
    // Until the server has the first frame, the grab is the bare root.
    screen = onScreen(&form);
    ASSERT_TRUE(QTest::qWaitFor([&] {
      screen = onScreen(&form);
      const QPoint inside(int(160 * scale()), int(148 * scale()));
      return screen.pixel(inside) != rootColour(&form);
    })) << "the window's first frame never reached the X server";
  }

  bool insideAt(QPoint logical) const {
    return skin.rect().contains(logical) && skin.pixel(logical) != kYellow;
  }

  TForm form;
  TImage *back = nullptr;
  TFormShaper *shaper = nullptr;
  QImage skin;
  QImage screen;
};

TEST_F(ShapedSkin, TheWindowIsThePictureAtTheScale) {
  EXPECT_EQ(form.size(), QSize(550, 340));
  EXPECT_EQ(screen.size(), (QSizeF(550, 340) * scale()).toSize());
}

TEST_F(ShapedSkin, NoMaskColouredPixelReachesTheScreen) {
  int yellow = 0;
  for (int y = 0; y < screen.height(); ++y)
    for (int x = 0; x < screen.width(); ++x)
      yellow += screen.pixel(x, y) == kYellow;
  EXPECT_EQ(yellow, 0);
}

// Whole-number scales: each logical pixel becomes a square of identical
// device pixels, and the outline is the mask scaled, pixel for pixel.
TEST_F(ShapedSkin, WholeNumberScalesShowEveryPixelAsASharpSquare) {
  if (!integerScale())
    GTEST_SKIP() << "fractional scale";
  const QRgb root = rootColour(&form);
  int wrongInside = 0, wrongOutside = 0;
  for (int y = 0; y < screen.height(); ++y) {
    for (int x = 0; x < screen.width(); ++x) {
      const QPoint p = logicalOf({x, y});
      if (insideAt(p))
        wrongInside += screen.pixel(x, y) != skin.pixel(p);
      else
        wrongOutside += screen.pixel(x, y) != root;
    }
  }
  EXPECT_EQ(wrongInside, 0);
  EXPECT_EQ(wrongOutside, 0);
}

// Every scale: no blended colours, and away from the edge the picture and
// the outside are where the mask puts them.
TEST_F(ShapedSkin, EveryScaleShowsOnlyThePicturesColours) {
  const QRgb root = rootColour(&form);
  QSet<QRgb> allowed = colours(skin);
  allowed.insert(root);
  int blended = 0, wrongInside = 0, wrongOutside = 0;
  for (int y = 0; y < screen.height(); ++y) {
    for (int x = 0; x < screen.width(); ++x) {
      const QRgb shown = screen.pixel(x, y);
      blended += !allowed.contains(shown);
      const QPoint p = logicalOf({x, y});
      // Which neighbour a device pixel samples is the painter's business.
      bool allIn = true, allOut = true, near = false;
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
          const bool in = insideAt(p + QPoint(dx, dy));
          allIn = allIn && in;
          allOut = allOut && !in;
          near = near || (in && shown == skin.pixel(p + QPoint(dx, dy)));
        }
      if (allIn)
        wrongInside += !near;
      if (allOut)
        wrongOutside += shown != root;
    }
  }
  EXPECT_EQ(blended, 0);
  EXPECT_EQ(wrongInside, 0);
  EXPECT_EQ(wrongOutside, 0);
}

TEST_F(ShapedSkin, HitTestsAndDraggingUseWindowCoordinates) {
  struct Probe {
    QPoint at;
    bool inside;
  };
  const Probe probes[] = {{{1, 1}, false},    {{548, 338}, false}, {{400, 330}, false},
                          {{160, 148}, true}, {{158, 30}, true},   {{412, 132}, true}};
  for (const Probe &p : probes) {
    ASSERT_EQ(insideAt(p.at), p.inside);
    EXPECT_EQ(windowAt(&form, p.at), p.inside) << p.at.x() << "," << p.at.y();
  }

  shaper->setWindowMove(TFormShaper::FullMove);
  QPoint cursor;
  const test::ScopedHook cursorAt(platform::setCursorSource, [&] { return cursor; });
  const QPoint start = form.pos();
  const QPoint local(160, 148);
  cursor = back->mapToGlobal(local);
  QTest::mousePress(back, Qt::LeftButton, {}, local);
  cursor += QPoint(30, 20);
  QMouseEvent move(QEvent::MouseMove, local + QPoint(30, 20), cursor, Qt::NoButton, Qt::LeftButton,
                   {});
  QApplication::sendEvent(back, &move);
  QTest::mouseRelease(back, Qt::LeftButton, {}, local + QPoint(30, 20));
  EXPECT_EQ(form.pos() - start, QPoint(30, 20));
  // The server has the window where Qt says it is.
  ASSERT_TRUE(QTest::qWaitFor([&] {
    return windowAt(&form, {160, 148});
  })) << "the moved window never reached the X server";
  for (const Probe &p : probes)
    EXPECT_EQ(windowAt(&form, p.at), p.inside) << p.at.x() << "," << p.at.y();
}

// The program's own windows: their backgrounds come out at the scale with
// none of the colours smoothing would mix.
TEST(ProgramWindowsAtScale, BackgroundsAreDrawnAtTheScaleWithoutSmoothing) {
  if (!onX())
    GTEST_SKIP() << "needs a real X server";
  TfrmMain main;
  main.FormShaper1->maskedPicture()->setPicture(main.backbig->picture());
  main.move(30, 30);
  main.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
  const QImage skin = main.backbig->picture();
  const QImage drawn = main.back->grab().toImage();
  EXPECT_EQ(drawn.size(), (QSizeF(skin.size()) * scale()).toSize());
  QSet<QRgb> allowed = colours(skin);
  EXPECT_TRUE(allowed.contains(colours(drawn))) << "smoothed skin";
  // The ROM name is written in yellow; elsewhere the mask colour never shows.
  const QImage screen = onScreen(&main);
  const QRect label = main.romname->geometry();
  int yellow = 0;
  for (int y = 0; y < screen.height(); ++y)
    for (int x = 0; x < screen.width(); ++x)
      yellow += screen.pixel(x, y) == kYellow && !label.contains(logicalOf({x, y}));
  EXPECT_EQ(yellow, 0);

  // Text is drawn at the device resolution: at a whole-number scale above 1,
  // some squares of device pixels that make up one logical pixel differ.
  if (integerScale() && scale() > 1) {
    const QImage text = main.romname->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const int s = int(scale());
    int finer = 0;
    for (int y = 0; y + s <= text.height(); y += s)
      for (int x = 0; x + s <= text.width(); x += s)
        for (int dy = 0; dy < s; ++dy)
          for (int dx = 0; dx < s; ++dx)
            finer += text.pixel(x + dx, y + dy) != text.pixel(x, y);
    EXPECT_GT(finer, 0) << "text drawn at the logical size and scaled up";
  }

  TFrmsetup setup;
  setup.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&setup));
  const QImage tile = setup.Background1->picture();
  const QImage tiled = setup.Background1->grab().toImage();
  EXPECT_EQ(tiled.size(), (QSizeF(setup.Background1->size()) * scale()).toSize());
  EXPECT_TRUE(colours(tile).contains(colours(tiled))) << "smoothed background";
  if (integerScale()) {
    const QImage rgbTile = tile.convertToFormat(QImage::Format_RGB32);
    const QImage rgbTiled = tiled.convertToFormat(QImage::Format_RGB32);
    int wrong = 0;
    for (int y = 0; y < rgbTiled.height(); ++y)
      for (int x = 0; x < rgbTiled.width(); ++x) {
        const QPoint p = logicalOf({x, y});
        wrong += rgbTiled.pixel(x, y) !=
                 rgbTile.pixel(p.x() % rgbTile.width(), p.y() % rgbTile.height());
      }
    EXPECT_EQ(wrong, 0);
  }
}

} // namespace
