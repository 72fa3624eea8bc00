// With no presenter set, a message is a modal box with the icon of its kind
// under the application's title.
#include "platform/usermessage.h"
#include "platform/userquestion.h"

#include "support/modalanswer.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace vantor {
namespace {

struct BoxCase {
  const char *name;
  void (*show)(const QString &text, QWidget *parent);
  QMessageBox::Icon icon;
};

class RealBox : public ::testing::TestWithParam<BoxCase> {};

TEST_P(RealBox, ShowsTheTextUnderTheApplicationsTitle) {
  QApplication::setApplicationDisplayName(QStringLiteral("Vantor"));
  QString title, text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  // The box runs its own loop; that loop reads and closes it.
  const test::ModalAnswer answer(
      [] { return qobject_cast<QMessageBox *>(QApplication::activeModalWidget()); },
      [&](QWidget *window) {
        auto *box = static_cast<QMessageBox *>(window);
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        box->accept();
      });
  GetParam().show(QStringLiteral("Unable to write to x."), nullptr);
  EXPECT_EQ(answer.answers(), 1);
  EXPECT_EQ(title, QStringLiteral("Vantor"));
  EXPECT_EQ(text, QStringLiteral("Unable to write to x."));
  EXPECT_EQ(icon, GetParam().icon);
}

INSTANTIATE_TEST_SUITE_P(Kinds, RealBox,
                         ::testing::Values(BoxCase{"Error", showError, QMessageBox::Critical},
                                           BoxCase{"Information", showInformation,
                                                   QMessageBox::Information},
                                           BoxCase{"Plain", showMessage, QMessageBox::NoIcon}),
                         [](const auto &info) { return std::string(info.param.name); });

struct AnswerCase {
  const char *name;
  void (*close)(QMessageBox *box);
  bool yes;
};

class Question : public ::testing::TestWithParam<AnswerCase> {};

TEST_P(Question, IsAnsweredByReturnEscapeOrAClick) {
  bool seen = false;
  QTimer::singleShot(0, [&] {
    if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
      seen = box->icon() == QMessageBox::Question;
      GetParam().close(box);
    }
  });
  EXPECT_EQ(askUser(QStringLiteral("Play it anyway?")), GetParam().yes);
  EXPECT_TRUE(seen);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, Question,
    ::testing::Values(
        AnswerCase{"Return", [](QMessageBox *box) { QTest::keyClick(box, Qt::Key_Return); }, true},
        AnswerCase{"Escape", [](QMessageBox *box) { QTest::keyClick(box, Qt::Key_Escape); }, false},
        AnswerCase{"ClickNo",
                   [](QMessageBox *box) {
                     QTest::mouseClick(box->button(QMessageBox::No), Qt::LeftButton);
                   },
                   false},
        AnswerCase{"ClickYes",
                   [](QMessageBox *box) {
                     QTest::mouseClick(box->button(QMessageBox::Yes), Qt::LeftButton);
                   },
                   true}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
} // namespace vantor
