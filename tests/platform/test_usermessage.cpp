// With no presenter set, a message is a modal box with the icon of its kind
// under the application's title.
#include "platform/usermessage.h"

#include "support/modalanswer.h"

#include <QApplication>
#include <QMessageBox>
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

} // namespace
} // namespace vantor
