// The helper that answers modal windows in tests: it answers each opening
// once, and a window it cannot answer fails the test at once instead of
// leaving the modal loop waiting until ctest's time limit.
#include "support/modalanswer.h"

#include <QApplication>
#include <QDialog>
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

namespace vantor::test {
namespace {

TEST(ModalAnswer, AnswersEachOpeningOnce) {
  QDialog dialog;
  int accepted = 0;
  const ModalAnswer answer(&dialog, [&](QWidget *window) {
    EXPECT_EQ(window, &dialog);
    ++accepted;
    dialog.accept();
  });
  EXPECT_EQ(dialog.exec(), QDialog::Accepted);
  EXPECT_EQ(dialog.exec(), QDialog::Accepted);
  EXPECT_EQ(answer.answers(), 2);
  EXPECT_EQ(accepted, 2);
}

TEST(ModalAnswer, AWindowThatNeverComesUpFailsAndEndsTheLoop) {
  QDialog dialog;
  bool answered = false;
  EXPECT_NONFATAL_FAILURE(
      {
        const ModalAnswer answer([]() -> QWidget * { return nullptr; },
                                 [&](QWidget *) { answered = true; });
        dialog.exec();
      },
      "did not come up");
  EXPECT_FALSE(answered);
  EXPECT_FALSE(dialog.isVisible());
}

TEST(ModalAnswer, AnAnswerThatLeavesTheWindowUpFailsAndEndsTheLoop) {
  QDialog dialog;
  EXPECT_NONFATAL_FAILURE(
      {
        const ModalAnswer answer(&dialog, [](QWidget *) {});
        dialog.exec();
      },
      "still up after its answer");
  EXPECT_FALSE(dialog.isVisible());
}

} // namespace
} // namespace vantor::test
