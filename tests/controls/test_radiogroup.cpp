// Every caption of a radio group can be read at the group's size.

#include "controls/fonts.h"
#include "controls/radiogroup.h"

#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <gtest/gtest.h>

namespace vantor {
namespace {

struct FitCase {
  const char *name;
  QSize size;
  QStringList items;
  int columns;
  bool keepsItsFont;
};

class CaptionFit : public ::testing::TestWithParam<FitCase> {};

TEST_P(CaptionFit, EveryCaptionFitsItsCell) {
  const FitCase &c = GetParam();
  TRadioGroup group;
  group.setTitle(QStringLiteral("Scanlines"));
  group.setFont(uiFont(11));
  group.setItems(c.items);
  group.setColumns(c.columns);
  group.resize(c.size);
  group.show(); // a hidden widget gets its resize when shown
  const QList<QRadioButton *> buttons = group.findChildren<QRadioButton *>();
  ASSERT_EQ(buttons.size(), c.items.size());
  for (const QRadioButton *button : buttons) {
    const std::string caption = button->text().toStdString();
    // Where the button's own style puts the caption and the indicator.
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    const QRect text =
        button->style()->subElementRect(QStyle::SE_RadioButtonContents, &option, button);
    const QRect indicator =
        button->style()->subElementRect(QStyle::SE_RadioButtonIndicator, &option, button);
    EXPECT_LE(button->fontMetrics().horizontalAdvance(button->text()), text.width()) << caption;
    EXPECT_LE(button->fontMetrics().height(), text.height()) << caption;
    EXPECT_TRUE(button->rect().contains(indicator)) << caption;
    EXPECT_TRUE(group.rect().contains(button->geometry())) << caption;
    EXPECT_GE(QFontInfo(button->font()).pixelSize(), TRadioGroup::kSmallestCaption);
    if (c.keepsItsFont) {
      EXPECT_EQ(QFontInfo(button->font()).pixelSize(), 11) << caption;
    }
  }
}

const QStringList YesNo{QStringLiteral("Yes"), QStringLiteral("No")};
const QStringList Scanlines{QStringLiteral("Yes"), QStringLiteral("No"), QStringLiteral("25%"),
                            QStringLiteral("50%"), QStringLiteral("100%")};

INSTANTIATE_TEST_SUITE_P(
    Table, CaptionFit,
    ::testing::Values(FitCase{"five_in_two_columns", {103, 63}, Scanlines, 2, true},
                      FitCase{"five_in_two_narrow_columns", {92, 63}, Scanlines, 2, false},
                      FitCase{"yes_no_narrow", {89, 63}, YesNo, 1, true},
                      FitCase{"yes_no_wide", {103, 63}, YesNo, 1, true},
                      FitCase{"five_in_one_wide_column", {200, 120}, Scanlines, 1, true}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(RadioGroup, ABiggerGroupGetsItsOwnFontBack) {
  TRadioGroup group;
  group.setFont(uiFont(11));
  group.setItems({QStringLiteral("Yes"), QStringLiteral("100%")});
  group.setColumns(2);
  group.resize(70, 63);
  group.show();
  const QList<QRadioButton *> buttons = group.findChildren<QRadioButton *>();
  ASSERT_EQ(buttons.size(), 2);
  EXPECT_LT(QFontInfo(buttons[1]->font()).pixelSize(), 11);
  group.resize(300, 63);
  EXPECT_EQ(QFontInfo(buttons[1]->font()).pixelSize(), 11);
  // A new font for the group reaches its buttons.
  group.setFont(uiFont(13));
  EXPECT_EQ(QFontInfo(buttons[0]->font()).pixelSize(), 13);
}

} // namespace
} // namespace vantor
