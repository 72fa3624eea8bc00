// Measuring, auto-size, alignment, layout and wrapping of the shadow label.
#include "label_support.h"

#include <gtest/gtest.h>

using namespace vantor;
using namespace labeltest;

namespace {

const QRgb kYellow = qRgb(255, 255, 0);

// The size Qt's text engine gives `text` on one unbounded line.
QSize textSize(const QFont &font, const QString &text, int flags = Qt::TextShowMnemonic) {
  return QFontMetrics(font).boundingRect(QRect(0, 0, 10000, 10000), flags, text).size();
}

} // namespace

TEST(LabelText, AcceleratorCharacter) {
  const struct {
    const char *caption;
    QChar accel;
  } rows[] = {{"&File", QChar('F')},  {"Fi&le", QChar('l')}, {"&&File", QChar()},
              {"a&&b&c", QChar('c')}, {"abc&", QChar()},     {"", QChar()},
              {"&", QChar()},         {"&&&x", QChar('x')}};
  for (const auto &row : rows)
    EXPECT_EQ(labeltext::accelChar(QString::fromLatin1(row.caption)), row.accel) << row.caption;
  EXPECT_TRUE(labeltext::isAccel(QChar('f'), "&File"));
  EXPECT_TRUE(labeltext::isAccel(QChar('F'), "&file"));
  EXPECT_FALSE(labeltext::isAccel(QChar('i'), "&File"));
  EXPECT_FALSE(labeltext::isAccel(QChar('&'), "a&&b"));
}

TEST(LabelText, LayoutShiftTruncatesTheCentreTowardZero) {
  const struct {
    TTextLayout layout;
    int height, bottom, shift;
  } rows[] = {{tlTop, 60, 16, 0},     {tlCenter, 60, 16, 22}, {tlCenter, 61, 16, 22},
              {tlBottom, 60, 16, 44}, {tlCenter, 10, 15, -2}, {tlBottom, 10, 15, -5}};
  for (const auto &row : rows)
    EXPECT_EQ(labeltext::layoutShift(row.layout, row.height, row.bottom), row.shift)
        << row.layout << " " << row.height << " " << row.bottom;
}

TEST(LabelText, ShadowOffsets) {
  EXPECT_EQ(labeltext::shadowOffset(spLeftTop, 3), QPoint(-3, -3));
  EXPECT_EQ(labeltext::shadowOffset(spLeftBottom, 3), QPoint(-3, 3));
  EXPECT_EQ(labeltext::shadowOffset(spRightBottom, 3), QPoint(3, 3));
  EXPECT_EQ(labeltext::shadowOffset(spRightTop, 3), QPoint(3, -3));
  // A zero-width measured line still counts in the union.
  EXPECT_EQ(labeltext::boundingUnion(QRect(5, 0, 0, 16), QRect(7, 2, 0, 16)), QRect(5, 0, 2, 18));
}

TEST(ShadowLabel, NewLabelDefaults) {
  TShadowLabel label;
  EXPECT_EQ(label.size(), QSize(65, 17));
  EXPECT_TRUE(label.autoSize());
  EXPECT_FALSE(label.transparent());
  EXPECT_TRUE(label.testAttribute(Qt::WA_OpaquePaintEvent));
  EXPECT_EQ(label.shadowSize(), 1);
  EXPECT_EQ(label.shadowPos(), spLeftTop);
  EXPECT_EQ(label.shadowColor(), clBtnHighlight);
  EXPECT_EQ(label.alignment(), taLeftJustify);
  EXPECT_EQ(label.layout(), tlTop);
  EXPECT_TRUE(label.showAccelChar());
  // The published property names reach the values through the meta-object.
  EXPECT_EQ(label.property("ShadowSize").toInt(), 1);
  EXPECT_TRUE(label.setProperty("Caption", QStringLiteral("Rom")));
  EXPECT_EQ(label.caption(), QStringLiteral("Rom"));
  EXPECT_TRUE(label.setProperty("Transparent", true));
  EXPECT_FALSE(label.testAttribute(Qt::WA_OpaquePaintEvent));
}

TEST(ShadowLabel, MeasuresCaptionsLikeTheTextEngine) {
  const QFont font = crispFont();
  const QSize space = textSize(font, " ");
  const struct {
    const char *caption;
    bool showAccel;
    QSize text; // size of the text pass without shadow
  } rows[] = {
      {"", true, space},                    // one line high
      {"&", true, space},                   // like one space
      {"&", false, textSize(font, "&", 0)}, // a literal ampersand
      {"&&", true, textSize(font, "&", 0)}, // "&&" shows one "&"
      {"&&", false, textSize(font, "&&", 0)},
      {"&Play", true, textSize(font, "Play", 0)}, // the marker takes no room
      {"Two\nlines", true, textSize(font, "Two\nlines")},
      {"a\tb", true, textSize(font, "a\tb", Qt::TextExpandTabs)}, // tabs expand
  };
  for (const auto &row : rows) {
    TShadowLabel label;
    label.setFont(font);
    label.setShadowSize(0);
    label.setShowAccelChar(row.showAccel);
    label.setCaption(QString::fromLatin1(row.caption));
    label.setAutoSize(false);
    label.setAutoSize(true);
    // One pixel each side of the text.
    EXPECT_EQ(label.size(), QSize(row.text.width() + 2, row.text.height()))
        << row.caption << " accel " << row.showAccel;
  }
  EXPECT_GT(textSize(font, "a\tb", Qt::TextExpandTabs).width(), textSize(font, "a b").width() * 2);
}

TEST(ShadowLabel, AutoSizeGrowsByTheShadowTowardsItsSide) {
  const QFont font = crispFont();
  const QSize text = textSize(font, "Shadow");
  const struct {
    TShadowPosition position;
    QSize growth;
  } rows[] = {
      {spRightBottom, {2, 2}}, {spLeftTop, {0, 0}}, {spRightTop, {2, 0}}, {spLeftBottom, {0, 2}}};
  for (const auto &row : rows) {
    TShadowLabel label;
    label.setFont(font);
    label.setShadowPos(row.position);
    label.setShadowSize(2);
    label.setCaption("Shadow");
    EXPECT_EQ(label.size(), QSize(text.width() + 2, text.height()) + row.growth) << row.position;
  }
}

TEST(ShadowLabel, AutoSizeKeepsTheLeftEdgeUnlessRightAligned) {
  const struct {
    TAlignment alignment;
    bool rightEdgeStays;
  } rows[] = {{taLeftJustify, false}, {taCenter, false}, {taRightJustify, true}};
  for (const auto &row : rows) {
    QWidget parent;
    TShadowLabel label(&parent);
    label.setFont(crispFont());
    label.setAlignment(row.alignment);
    label.move(150, 10);
    label.setCaption("ab");
    const QRect before = label.geometry();
    label.setCaption("a much longer caption");
    const QRect after = label.geometry();
    EXPECT_GT(after.width(), before.width());
    if (row.rightEdgeStays) {
      EXPECT_EQ(after.right(), before.right());
      EXPECT_LT(after.left(), before.left());
    } else {
      EXPECT_EQ(after.left(), before.left());
    }
  }
}

TEST(ShadowLabel, RefitsOnFontWordWrapAndShadowChanges) {
  TShadowLabel label;
  label.setFont(crispFont(11, false));
  label.setCaption("Some words to wrap here");
  const QSize small = label.size();
  label.setFont(crispFont(13, true));
  EXPECT_GT(label.width(), small.width());
  EXPECT_GT(label.height(), small.height());
  const QSize big = label.size();
  label.setShadowSize(3);
  label.setShadowPos(spRightBottom);
  EXPECT_EQ(label.size(), big); // the position alone does not re-fit
  label.setShadowSize(4);
  EXPECT_EQ(label.size(), big + QSize(4, 4));
  label.setShadowSize(0);
  label.setAutoSize(false);
  label.setWordWrap(true);
  label.resize(80, 17);
  label.setAutoSize(true);
  // Wrapped within the 78 pixels between the margins: narrower and taller.
  EXPECT_LE(label.width(), 80);
  EXPECT_GT(label.height(), big.height());
}

TEST(ShadowLabel, FixedSizeCentredLabelCentresEachLine) {
  Scene scene;
  scene.label.setShadowSize(0);
  scene.label.setTransparent(true);
  scene.label.setAutoSize(false);
  scene.label.resize(257, 17);
  scene.label.setAlignment(taCenter);
  scene.label.setCaption("< ROM NAME >");
  EXPECT_EQ(scene.label.size(), QSize(257, 17));
  const QRect box = boxOf(scene.renderLabel(), kYellow);
  ASSERT_FALSE(box.isNull());
  const int width = textSize(crispFont(), "< ROM NAME >").width();
  EXPECT_NEAR(box.center().x(), 257 / 2, 2);
  EXPECT_LE(box.width(), width);
  EXPECT_GT(box.width(), width / 2);
}

TEST(ShadowLabel, AlignmentPlacesTheTextInsideTheMargins) {
  const struct {
    TAlignment alignment;
    int expectedLeft, expectedRight; // -1: not checked
  } rows[] = {{taLeftJustify, 1, -1}, {taRightJustify, -1, 198}};
  for (const auto &row : rows) {
    Scene scene;
    scene.label.setShadowSize(0);
    scene.label.setAutoSize(false);
    scene.label.resize(200, 20);
    scene.label.setAlignment(row.alignment);
    scene.label.setCaption("IIII"); // vertical stems fill their cells' edges closely
    const QRect box = boxOf(scene.renderLabel(), kYellow);
    ASSERT_FALSE(box.isNull());
    if (row.expectedLeft >= 0) {
      EXPECT_GE(box.left(), row.expectedLeft);
      EXPECT_LE(box.left(), row.expectedLeft + 3);
    }
    if (row.expectedRight >= 0) {
      EXPECT_LE(box.right(), row.expectedRight);
      EXPECT_GE(box.right(), row.expectedRight - 3);
    }
  }
}

TEST(ShadowLabel, LayoutMovesTheTextDown) {
  const int lineHeight = textSize(crispFont(), "Xy").height();
  int topOfTop = -1;
  for (TTextLayout layout : {tlTop, tlCenter, tlBottom}) {
    Scene scene;
    scene.label.setShadowSize(0);
    scene.label.setAutoSize(false);
    scene.label.resize(120, 61);
    scene.label.setLayout(layout);
    scene.label.setCaption("Xy");
    const QRect box = boxOf(scene.renderLabel(), kYellow);
    ASSERT_FALSE(box.isNull());
    if (layout == tlTop)
      topOfTop = box.top();
    else
      EXPECT_EQ(box.top() - topOfTop, labeltext::layoutShift(layout, 61, lineHeight)) << layout;
  }
}

TEST(ShadowLabel, WordWrapBreaksALongQuestionWithinTheWidth) {
  const QString question = "Do you really want to delete the snapshot of this game?";
  const int lineHeight = textSize(crispFont(), "Xy").height();
  for (bool wrap : {false, true}) {
    Scene scene;
    scene.parent.resize(300, 200);
    scene.label.setShadowSize(0);
    scene.label.setAutoSize(false);
    scene.label.setGeometry(10, 10, 150, 100);
    scene.label.setAlignment(taCenter);
    scene.label.setWordWrap(wrap);
    scene.label.setCaption(question);
    EXPECT_EQ(scene.label.size(), QSize(150, 100));
    const QRect box = boxOf(scene.renderLabel(), kYellow);
    ASSERT_FALSE(box.isNull());
    if (wrap) {
      EXPECT_GE(box.height(), 2 * lineHeight);
      EXPECT_GE(box.left(), 1);
      EXPECT_LE(box.right(), 148);
    } else {
      EXPECT_LT(box.height(), lineHeight);
    }
  }
}

TEST(UiFont, DesignHeightsBecomePixelSizes) {
  for (int height : {-11, -13, 13}) {
    const QFont font = uiFont(height, height == -13);
    EXPECT_EQ(font.pixelSize(), std::abs(height));
    EXPECT_EQ(font.bold(), height == -13);
    if (!uiFontFamily().isEmpty()) {
      EXPECT_EQ(QFontInfo(font).family(), uiFontFamily()); // the face is really installed
    }
  }
  // The 13-pixel bold face fits the 17-pixel ROM name line.
  EXPECT_LE(QFontMetrics(uiFont(13, true)).height(), 17);
}

TEST(UiFont, LaunchStatusTextsFitTheRomNameLine) {
  // The ROM name line is 257 pixels wide; its captions must not be clipped.
  for (const char *text : {"< ROM NAME >", "Please Wait..Unzipping ROM..", "Running NEORAGE.."}) {
    TShadowLabel label;
    label.setFont(uiFont(13, true));
    label.setShadowSize(0);
    label.setCaption(text);
    EXPECT_LE(label.width(), 257) << text;
    EXPECT_LE(label.height(), 17) << text;
  }
}
