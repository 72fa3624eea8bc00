// A handler that fails while the user types, clicks or closes is reported
// once and never escapes into the toolkit's event loop.
#include "controls/edit.h"
#include "controls/form.h"
#include "controls/radiogroup.h"
#include "controls/rotarydial.h"
#include "platform/errors.h"
#include "platform/usermessage.h"

#include <QRadioButton>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>

namespace vantor {
namespace {

const TNotifyEvent kFailing = [](QObject *) { throw Error(QStringLiteral("handler failed")); };

struct Case {
  const char *name;
  // Builds the control in `parent` with a failing handler, then plays the input.
  std::function<void(QWidget &parent)> act;
  // What is still true afterwards; empty when nothing else matters.
  std::function<bool(QWidget &parent)> after;
};

class FailingHandler : public ::testing::TestWithParam<Case> {};

TEST_P(FailingHandler, IsReportedOnceAndGoesNoFurther) {
  QStringList shown;
  const ScopedMessagePresenter presenter([&](const UserMessage &m) { shown << m.text; });
  QWidget parent;
  parent.resize(200, 200);
  EXPECT_NO_THROW(GetParam().act(parent));
  // Reported as any failure is: with a full stop.
  EXPECT_EQ(shown, QStringList{QStringLiteral("handler failed.")});
  if (GetParam().after) {
    EXPECT_TRUE(GetParam().after(parent));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Controls, FailingHandler,
    ::testing::Values(
        Case{"EditTyping",
             [](QWidget &parent) {
               auto *edit = new TEdit(&parent);
               edit->OnChange = kFailing;
               QTest::keyClick(edit, Qt::Key_A);
             },
             {}},
        Case{"RadioGroupClick",
             [](QWidget &parent) {
               auto *group = new TRadioGroup(&parent);
               group->setGeometry(0, 0, 150, 80);
               group->setItems({QStringLiteral("one"), QStringLiteral("two")});
               group->OnClick = kFailing;
               parent.show();
               QRadioButton *second = group->findChildren<QRadioButton *>().at(1);
               // On the indicator: the caption may be narrower than the cell.
               QTest::mouseClick(second, Qt::LeftButton, {}, QPoint(6, second->height() / 2));
             },
             // The choice itself is kept.
             [](QWidget &parent) { return parent.findChild<TRadioGroup *>()->itemIndex() == 1; }},
        Case{"DialKey",
             [](QWidget &parent) {
               auto *dial = new TRotaryDial(&parent);
               dial->setMax(5);
               dial->OnChange = kFailing;
               QTest::keyClick(dial, Qt::Key_Right);
             },
             [](QWidget &parent) { return parent.findChild<TRotaryDial *>()->position() == 1; }},
        Case{"FormClose",
             [](QWidget &parent) {
               auto *form = new TForm(&parent);
               form->OnCloseQuery = [](QObject *, bool &) {
                 throw Error(QStringLiteral("handler failed"));
               };
               form->show();
               form->close();
             },
             // A close whose check failed leaves the window open.
             [](QWidget &parent) { return parent.findChild<TForm *>()->isVisible(); }}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
} // namespace vantor
