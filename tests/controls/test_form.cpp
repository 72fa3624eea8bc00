#include "controls/form.h"

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <gtest/gtest.h>

using vantor::TForm;

namespace {

struct DeleteCase {
  const char *name;
  bool hiddenFirst; // closed and then deleted, or deleted while it shows
};

class ModalFormDeleted : public ::testing::TestWithParam<DeleteCase> {};

// A handler that runs while a window is up modally may delete it; showModal
// then returns without touching what is gone.
TEST_P(ModalFormDeleted, ShowModalReturnsWithoutTouchingIt) {
  auto *form = new TForm;
  QPointer<TForm> watched(form);
  const bool hiddenFirst = GetParam().hiddenFirst;
  QTimer::singleShot(0, qApp, [form, hiddenFirst] {
    if (hiddenFirst)
      form->hide();
    delete form;
  });
  // Fails fast instead of waiting for the test's time limit.
  bool stuck = false;
  QTimer watchdog;
  watchdog.setSingleShot(true);
  QObject::connect(&watchdog, &QTimer::timeout, [&stuck] {
    stuck = true;
    QCoreApplication::exit(1);
  });
  watchdog.start(5000);
  form->showModal();
  watchdog.stop();
  EXPECT_FALSE(stuck) << "showModal did not return when its window was deleted";
  EXPECT_TRUE(watched.isNull());
}

INSTANTIATE_TEST_SUITE_P(Ways, ModalFormDeleted,
                         ::testing::Values(DeleteCase{"closedThenDeleted", true},
                                           DeleteCase{"deletedWhileShowing", false}),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
