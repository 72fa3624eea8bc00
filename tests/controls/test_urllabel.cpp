// The link label: what a click opens, and its colours, style and position
// through hover, presses and releases.
#include "controls/fonts.h"
#include "controls/urllabel.h"
#include "platform/errors.h"
#include "platform/shellopen.h"
#include "platform/usermessage.h"
#include "support/counter.h"

#include <QTest>
#include <gtest/gtest.h>

namespace vantor {
namespace {

using test::Counter;

class LinkLabel : public ::testing::Test {
protected:
  LinkLabel() {
    parent.resize(300, 120);
    label.setCaption(QStringLiteral("abc"));
    label.move(20, 20);
    parent.show();
  }

  void enter() {
    QEnterEvent event(QPointF(3, 3), QPointF(3, 3), QPointF(label.mapToGlobal(QPoint(3, 3))));
    QCoreApplication::sendEvent(&label, &event);
  }
  void leave() {
    QEvent event(QEvent::Leave);
    QCoreApplication::sendEvent(&label, &event);
  }
  void press(Qt::MouseButton button) {
    QTest::mousePress(&label, button, Qt::NoModifier, QPoint(3, 3));
  }
  void release(Qt::MouseButton button, QPoint at = QPoint(3, 3)) {
    QTest::mouseRelease(&label, button, Qt::NoModifier, at);
  }
  bool underlined() const { return label.font().underline(); }

  QWidget parent;
  TURLLabel label{&parent};
  QStringList opened;
  platform::ScopedShellOpener opener{[this](const QString &a) { opened << a; }};
  QStringList shown;
  ScopedMessagePresenter presenter{[this](const UserMessage &m) { shown << m.text; }};
};

struct PrefixCase {
  TURLLabel::TLabelType type;
  const char *prefix; // what the label puts before its caption; "" for none
  const char *opened; // what reaches the desktop before the caption; null for nothing
};

class Prefixes : public LinkLabel, public ::testing::WithParamInterface<PrefixCase> {};

// A long caption, so a target cut short shows.
TEST_P(Prefixes, JoinPrefixAndCaptionWithNothingBetween) {
  const QString caption = QStringLiteral("vantor.example/") + QString(100, u'p');
  label.setCaption(caption);
  Counter clicks;
  label.OnClick = clicks.handler();
  label.setLabelType(GetParam().type);
  const QString prefix = QString::fromUtf8(GetParam().prefix);
  EXPECT_EQ(label.target(), prefix.isEmpty() ? QString() : prefix + caption);
  press(Qt::LeftButton);
  release(Qt::LeftButton);
  EXPECT_EQ(clicks.count(), 1);
  EXPECT_EQ(opened, GetParam().opened ? QStringList{QString::fromUtf8(GetParam().opened) + caption}
                                      : QStringList());
  EXPECT_TRUE(shown.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Table, Prefixes,
                         ::testing::Values(PrefixCase{TURLLabel::hmHTTP, R"(http:\\)", "http://"},
                                           PrefixCase{TURLLabel::hmMAIL, "mailto:", "mailto:"},
                                           PrefixCase{TURLLabel::hmFTP, R"(ftp:\\)", "ftp://"},
                                           PrefixCase{TURLLabel::hmCUSTOM, "", nullptr}));

TEST_F(LinkLabel, ATargetThatCannotBeOpenedIsReported) {
  platform::ScopedShellOpener failing(
      [](const QString &address) { throw Error(QStringLiteral("cannot open ") + address); });
  press(Qt::LeftButton);
  release(Qt::LeftButton);
  EXPECT_EQ(shown, QStringList{QStringLiteral("cannot open http://abc.")});
  EXPECT_EQ(label.fontColor(), clBlue) << "the release still restores the colour";
}

TEST_F(LinkLabel, AClickHandlerThatThrowsOpensNothing) {
  label.OnClick = [](QObject *) { throw Error(QStringLiteral("no")); };
  press(Qt::LeftButton);
  release(Qt::LeftButton);
  EXPECT_TRUE(opened.isEmpty());
  EXPECT_EQ(shown, QStringList{QStringLiteral("no.")});
}

struct HoverCase {
  const char *name;
  bool effect98;
  TURLLabel::TLabelType type;
  TColor overColour;
  bool overUnderline;
  bool restUnderline;
};

void PrintTo(const HoverCase &c, std::ostream *os) {
  *os << c.name;
}

class Hover : public LinkLabel, public ::testing::WithParamInterface<HoverCase> {};

TEST_P(Hover, ChangesTheLabelOnlyInTheHoverStyle) {
  const HoverCase &c = GetParam();
  label.setLabelType(c.type);
  label.setEffect98(c.effect98);
  EXPECT_EQ(underlined(), c.restUnderline);
  enter();
  EXPECT_EQ(label.fontColor(), c.overColour);
  EXPECT_EQ(underlined(), c.overUnderline);
  leave();
  EXPECT_EQ(label.fontColor(), clBlue);
  EXPECT_EQ(underlined(), c.restUnderline);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Hover,
    ::testing::Values(HoverCase{"plain", false, TURLLabel::hmHTTP, clBlue, true, true},
                      HoverCase{"plain custom", false, TURLLabel::hmCUSTOM, clBlue, false, false},
                      HoverCase{"hover style", true, TURLLabel::hmMAIL, clRed, true, false},
                      HoverCase{"hover custom", true, TURLLabel::hmCUSTOM, clRed, false, false}));

TEST_F(LinkLabel, HoverLeavesACustomLabelsStyleAlone) {
  label.setLabelType(TURLLabel::hmCUSTOM);
  label.setEffect98(true);
  QFont bold = uiFont(13, true);
  bold.setItalic(true);
  label.setLinkFont({bold, clBlue});
  enter();
  leave();
  EXPECT_TRUE(label.font().bold());
  EXPECT_TRUE(label.font().italic());
}

TEST_F(LinkLabel, TheHoverStyleKeepsThePressedColourAfterReleaseUntilLeaving) {
  label.setEffect98(true);
  enter();
  press(Qt::LeftButton);
  release(Qt::LeftButton);
  EXPECT_EQ(label.fontColor(), clRed);
  leave();
  EXPECT_EQ(label.fontColor(), clBlue);
}

TEST_F(LinkLabel, ALeftPressRecoloursAndWithAllowDownLowersTheLabel) {
  label.setAllowDown(true);
  press(Qt::LeftButton);
  EXPECT_EQ(label.fontColor(), clRed);
  EXPECT_EQ(label.pos(), QPoint(20, 21));
  release(Qt::LeftButton);
  EXPECT_EQ(label.fontColor(), clBlue);
  EXPECT_EQ(label.pos(), QPoint(20, 20));
  EXPECT_EQ(opened.size(), 1);
}

TEST_F(LinkLabel, TheRightButtonNeitherRecoloursNorMovesButItsReleaseRestores) {
  label.setAllowDown(true);
  press(Qt::RightButton);
  EXPECT_EQ(label.fontColor(), clBlue);
  EXPECT_EQ(label.pos(), QPoint(20, 20));
  release(Qt::RightButton);
  press(Qt::LeftButton);
  ASSERT_EQ(label.fontColor(), clRed);
  release(Qt::RightButton);
  EXPECT_EQ(label.fontColor(), clBlue);
  EXPECT_EQ(label.pos(), QPoint(20, 21)) << "only the left release lifts the label";
  EXPECT_TRUE(opened.isEmpty());
}

TEST_F(LinkLabel, ReleasingOutsideRestoresButOpensNothing) {
  Counter clicks;
  label.OnClick = clicks.handler();
  label.setAllowDown(true);
  press(Qt::LeftButton);
  release(Qt::LeftButton, QPoint(label.width() + 5, 3));
  EXPECT_EQ(label.fontColor(), clBlue);
  EXPECT_EQ(label.pos(), QPoint(20, 20));
  EXPECT_EQ(clicks.count(), 0);
  EXPECT_TRUE(opened.isEmpty());
}

TEST_F(LinkLabel, AFontsColourOrTheOneSetBecomesTheColourAtRest) {
  label.setLinkFont({uiFont(13), clGreen});
  EXPECT_EQ(label.urlColStd(), clGreen);
  EXPECT_EQ(label.fontColor(), clGreen);
  EXPECT_FALSE(label.parentFont());
  press(Qt::LeftButton);
  release(Qt::LeftButton);
  EXPECT_EQ(label.fontColor(), clGreen);
  label.setURLColStd(clYellow);
  EXPECT_EQ(label.fontColor(), clYellow);
  EXPECT_EQ(label.palette().color(QPalette::WindowText), QColor(Qt::yellow));
}

struct StyleCase {
  const char *name;
  void (*change)(TURLLabel &);
  bool underline;
};

void PrintTo(const StyleCase &c, std::ostream *os) {
  *os << c.name;
}

class StyleReset : public LinkLabel, public ::testing::WithParamInterface<StyleCase> {};

TEST_P(StyleReset, DropsTheBoldSetInTheWindow) {
  QFont bold = uiFont(13, true);
  bold.setUnderline(true);
  bold.setItalic(true);
  label.setLinkFont({bold, clYellow});
  GetParam().change(label);
  EXPECT_FALSE(label.font().bold());
  EXPECT_FALSE(label.font().italic());
  EXPECT_EQ(label.font().underline(), GetParam().underline);
  EXPECT_EQ(label.font().pixelSize(), 13) << "only the style changes";
}

INSTANTIATE_TEST_SUITE_P(
    Table, StyleReset,
    ::testing::Values(
        StyleCase{"mail", [](TURLLabel &l) { l.setLabelType(TURLLabel::hmMAIL); }, true},
        StyleCase{"custom", [](TURLLabel &l) { l.setLabelType(TURLLabel::hmCUSTOM); }, false},
        StyleCase{"hover on", [](TURLLabel &l) { l.setEffect98(true); }, false},
        StyleCase{"hover off",
                  [](TURLLabel &l) {
                    l.setEffect98(true);
                    l.setLinkFont({uiFont(13, true), clYellow});
                    l.setEffect98(false);
                  },
                  true}));

TEST_F(LinkLabel, SettingAnUnchangedValueKeepsTheStyle) {
  label.setLinkFont({uiFont(13, true), clYellow});
  label.setLabelType(TURLLabel::hmHTTP);
  label.setEffect98(false);
  EXPECT_TRUE(label.font().bold());
}

TEST_F(LinkLabel, AutoSizeFitsTheCaption) {
  label.setCaption(QStringLiteral("a much longer caption than before"));
  EXPECT_EQ(label.size(), label.sizeHint());
  label.setAutoSize(false);
  label.resize(40, 10);
  label.setCaption(QStringLiteral("x"));
  EXPECT_EQ(label.size(), QSize(40, 10));
}

} // namespace
} // namespace vantor
