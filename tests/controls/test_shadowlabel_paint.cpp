// Pixels of the shadow label over a coloured skin.
#include "label_support.h"

#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

using namespace vantor;
using namespace labeltest;

namespace {

const QRgb kSkin = qRgb(0, 0, 255);
const QRgb kYellow = qRgb(255, 255, 0);
const QRgb kShadow = qRgb(255, 0, 255);
const QRgb kRed = qRgb(255, 0, 0);

void setUpText(TShadowLabel &label) {
  label.setAutoSize(false);
  label.setGeometry(20, 20, 160, 40);
  label.setAlignment(taCenter);
  label.setCaption("Wave &Hello");
}

// Where the text alone draws, with no shadow pass.
QImage glyphMask() {
  Scene scene;
  setUpText(scene.label);
  scene.label.setShadowSize(0);
  scene.label.setTransparent(true);
  return scene.renderLabel();
}

bool glyphAt(const QImage &mask, QPoint p) {
  return mask.rect().contains(p) && mask.pixel(p) == kYellow;
}

} // namespace

TEST(ShadowLabelPaint, TransparentLabelShowsTheSkinAroundAndBetweenLetters) {
  Scene scene;
  setUpText(scene.label);
  scene.label.setShadowSize(0);
  scene.label.setTransparent(true);
  scene.label.setColor(clRed);
  const QImage image = scene.renderLabel();
  const int text = countColour(image, kYellow);
  const int skin = countColour(image, kSkin);
  EXPECT_GT(text, 50);
  EXPECT_EQ(text + skin, image.width() * image.height()); // nothing else, no red
  // A pixel inside the text's box that is no glyph pixel shows the skin.
  const QRect box = boxOf(image, kYellow);
  int between = 0;
  for (int x = box.left(); x <= box.right(); ++x)
    between += image.pixel(x, box.center().y()) == kSkin;
  EXPECT_GT(between, 5);
}

TEST(ShadowLabelPaint, OpaqueLabelFillsItsRectangleWithItsColour) {
  Scene scene;
  setUpText(scene.label);
  scene.label.setShadowSize(0);
  scene.label.setColor(clRed);
  const QImage image = scene.renderLabel();
  EXPECT_EQ(countColour(image, kSkin), 0);
  EXPECT_EQ(countColour(image, kYellow) + countColour(image, kRed), image.width() * image.height());
  EXPECT_EQ(image.pixel(0, 0), kRed);
}

TEST(ShadowLabelPaint, OpaqueLabelFollowsTheParentsColourByDefault) {
  Scene scene(QColor(0, 128, 0));
  setUpText(scene.label);
  const QImage image = scene.renderLabel();
  EXPECT_EQ(image.pixel(0, 0), qRgb(0, 128, 0));
  EXPECT_TRUE(scene.label.parentColor());
}

// Every pixel is text, shadow (text shifted by the offset) or skin.
TEST(ShadowLabelPaint, ShadowIsTheTextOffsetTowardsItsPosition) {
  const QImage mask = glyphMask();
  const struct {
    TShadowPosition position;
    QPoint offset;
  } rows[] = {{spRightBottom, {2, 2}},
              {spLeftTop, {-2, -2}},
              {spRightTop, {2, -2}},
              {spLeftBottom, {-2, 2}}};
  for (const auto &row : rows) {
    Scene scene;
    setUpText(scene.label);
    scene.label.setTransparent(true);
    scene.label.setShadowColor(clFuchsia);
    scene.label.setShadowPos(row.position);
    scene.label.setShadowSize(2);
    const QImage image = scene.renderLabel();
    int shadows = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) {
        const QPoint p(x, y);
        const QRgb expected = glyphAt(mask, p)                ? kYellow
                              : glyphAt(mask, p - row.offset) ? kShadow
                                                              : kSkin;
        ASSERT_EQ(image.pixel(p), expected) << row.position << " at " << x << "," << y;
        shadows += expected == kShadow;
      }
    EXPECT_GT(shadows, 20);
  }
}

TEST(ShadowLabelPaint, NoShadowLooksLikePlainText) {
  Scene scene;
  setUpText(scene.label);
  scene.label.setTransparent(true);
  scene.label.setShadowColor(clFuchsia);
  scene.label.setShadowSize(0);
  const QImage image = scene.renderLabel();
  EXPECT_EQ(countColour(image, kShadow), 0);
  EXPECT_EQ(image, glyphMask());
}

TEST(ShadowLabelPaint, DisabledLabelIsEngravedGreyWithAHighlightBelowRight) {
  const QImage mask = glyphMask();
  Scene scene;
  setUpText(scene.label);
  scene.label.setTransparent(true);
  scene.label.setShadowSize(0);
  scene.label.setEnabled(false);
  const QRgb grey = toQColor(clGrayText).rgb();
  const QRgb highlight = toQColor(clBtnHighlight).rgb();
  ASSERT_NE(grey, highlight);
  const QImage image = scene.renderLabel();
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QPoint p(x, y);
      const QRgb expected = glyphAt(mask, p)                  ? grey
                            : glyphAt(mask, p - QPoint(1, 1)) ? highlight
                                                              : kSkin;
      ASSERT_EQ(image.pixel(p), expected) << x << "," << y;
    }
  EXPECT_GT(countColour(image, highlight), 20);
}

TEST(ShadowLabelPaint, AcceleratorIsUnderlinedOnlyWhenShown) {
  Scene scene;
  setUpText(scene.label);
  scene.label.setShadowSize(0);
  scene.label.setTransparent(true);
  scene.label.setCaption("&HHH");
  const QImage marked = scene.renderLabel();
  scene.label.setCaption("HHH");
  const QImage plain = scene.renderLabel();
  // The underline adds pixels below the first letter only.
  EXPECT_GT(countColour(marked, kYellow), countColour(plain, kYellow));
  scene.label.setCaption("&HHH");
  scene.label.setShowAccelChar(false);
  const QImage literal = scene.renderLabel();
  EXPECT_GT(boxOf(literal, kYellow).width(), boxOf(plain, kYellow).width()); // "&" drawn
}

TEST(ShadowLabelPaint, FocusRectangleShowsWhileTheFocusControlHasFocus) {
  const QRgb skin = qRgb(0, 128, 0);
  const QRgb inverse = qRgb(255, 127, 255); // the skin with every bit flipped
  Scene scene{QColor(skin)};
  setUpText(scene.label);
  scene.label.setShadowSize(0);
  scene.label.setTransparent(true);
  QLineEdit edit(&scene.parent);
  edit.setGeometry(20, 70, 100, 20);
  QLineEdit other(&scene.parent);
  other.setGeometry(150, 70, 100, 20);
  scene.label.setFocusControl(&edit);
  scene.label.setShowFocus(true);
  scene.parent.show();
  scene.parent.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&scene.parent));

  other.setFocus();
  ASSERT_TRUE(other.hasFocus());
  const QImage unfocused = scene.renderLabel();
  EXPECT_EQ(countColour(unfocused, inverse), 0);
  edit.setFocus();
  ASSERT_TRUE(edit.hasFocus());
  const QImage focused = scene.renderLabel();
  // Dots along all four edges of the label, nothing changed inside.
  const int w = focused.width(), h = focused.height();
  int edgeDots = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const bool edge = x == 0 || y == 0 || x == w - 1 || y == h - 1;
      if (focused.pixel(x, y) == unfocused.pixel(x, y))
        continue;
      ASSERT_TRUE(edge) << x << "," << y;
      ASSERT_EQ(focused.pixel(x, y), inverse) << x << "," << y;
      ++edgeDots;
    }
  EXPECT_GT(edgeDots, (w + h) / 2);
  for (const QPoint corner :
       {QPoint(0, h / 2), QPoint(w - 1, h / 2), QPoint(w / 2, 0), QPoint(w / 2, h - 1)}) {
    // Every side has dots near its middle.
    int near = 0;
    for (int d = -2; d <= 2; ++d) {
      const QPoint p = corner + (corner.x() == w / 2 ? QPoint(d, 0) : QPoint(0, d));
      near += focused.pixel(p) == inverse;
    }
    EXPECT_GT(near, 0) << corner.x() << "," << corner.y();
  }

  scene.label.setFocusControl(nullptr);
  EXPECT_EQ(scene.renderLabel(), unfocused);
}
