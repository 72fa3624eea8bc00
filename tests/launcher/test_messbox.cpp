// Answering the confirmation box from the keyboard, the keys sent where the
// focus is, as a real key would go.
#include "controls/picbtn.h"
#include "launcher/messbox.h"

#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <vector>

using namespace vantor;

namespace {

struct AnswerCase {
  const char *name;
  std::vector<int> keys;
  bool yes;
};

void PrintTo(const AnswerCase &c, std::ostream *os) {
  *os << c.name;
}

class BoxKeys : public ::testing::TestWithParam<AnswerCase> {
protected:
  // Asks, types the keys once the box is up and returns the answer, or
  // fails when the keys left the box open.
  bool askTyping(const std::vector<int> &keys) {
    bool stillOpen = false;
    QTimer::singleShot(0, &box, [&] {
      for (int key : keys) {
        if (!box.isVisible())
          break;
        QWidget *to = box.focusWidget() ? box.focusWidget() : &box;
        QTest::keyClick(to, Qt::Key(key));
      }
      stillOpen = box.isVisible();
      box.hide(); // never leave the test waiting on the box
    });
    const bool yes = box.ask();
    EXPECT_FALSE(stillOpen) << "the keys did not answer the box";
    return yes;
  }
  Tmessbox box;
};

TEST_P(BoxKeys, AnswerTheBox) {
  EXPECT_EQ(askTyping(GetParam().keys), GetParam().yes);
}

INSTANTIATE_TEST_SUITE_P(
    Table, BoxKeys,
    ::testing::Values(AnswerCase{"y", {Qt::Key_Y}, true}, AnswerCase{"n", {Qt::Key_N}, false},
                      AnswerCase{"escape", {Qt::Key_Escape}, false},
                      // "no" has the focus first.
                      AnswerCase{"enter", {Qt::Key_Return}, false},
                      AnswerCase{"space", {Qt::Key_Space}, false},
                      AnswerCase{"keypadEnter", {Qt::Key_Enter}, false},
                      AnswerCase{"tabSpace", {Qt::Key_Tab, Qt::Key_Space}, true},
                      AnswerCase{"backtabEnter", {Qt::Key_Backtab, Qt::Key_Return}, true},
                      AnswerCase{"leftEnter", {Qt::Key_Left, Qt::Key_Return}, true},
                      AnswerCase{"rightSpace", {Qt::Key_Right, Qt::Key_Space}, true},
                      AnswerCase{"tabTabEnter", {Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Return}, false},
                      AnswerCase{"upDownSpace", {Qt::Key_Up, Qt::Key_Down, Qt::Key_Space}, false},
                      AnswerCase{"tabThenN", {Qt::Key_Tab, Qt::Key_N}, false},
                      // Other keys leave the question open.
                      AnswerCase{"otherKeysThenY", {Qt::Key_A, Qt::Key_F1, Qt::Key_Y}, true}),
    [](const auto &info) { return std::string(info.param.name); });

// Each showing starts again with "no" focused, whatever the last one ended on.
TEST_F(BoxKeys, EachShowingFocusesNoAgain) {
  EXPECT_TRUE(askTyping({Qt::Key_Tab, Qt::Key_Return}));
  EXPECT_FALSE(askTyping({Qt::Key_Return}));
}

// One answer per showing: a second key after the answer changes nothing.
TEST_F(BoxKeys, OnlyTheFirstAnswerCounts) {
  QTimer::singleShot(0, &box, [&] {
    QTest::keyClick(box.butno, Qt::Key_N);
    QTest::keyClick(box.butno, Qt::Key_Y);
    box.hide();
  });
  EXPECT_FALSE(box.ask());
}

} // namespace
