#include "platform/processwatch.h"
#include "support/wait.h"

#include <QCoreApplication>
#include <QTimer>
#include <gtest/gtest.h>

#include <csignal>
#include <optional>

namespace vantor::platform {
namespace {

struct WatchCase {
  const char *name;
  QStringList arguments;
  bool starts;
  int exitCode;
  int signal;
};

void PrintTo(const WatchCase &c, std::ostream *os) {
  *os << c.name;
}

class Watch : public ::testing::TestWithParam<WatchCase> {};

// The end of the program comes through the event loop, which turns while it
// runs; a program that cannot start says why and is never reported as ended.
TEST_P(Watch, ReportsTheEndThroughTheEventLoop) {
  const WatchCase &c = GetParam();
  ProcessWatch watch;
  std::optional<RunResult> ended;
  int turnsWhileRunning = 0;
  QTimer ticker;
  QObject::connect(&ticker, &QTimer::timeout, [&] { turnsWhileRunning += watch.running(); });
  ticker.start(1);
  const QString error =
      watch.start(c.arguments, {}, [&ended](const RunResult &result) { ended = result; });
  EXPECT_EQ(error.isNull(), c.starts) << error.toStdString();
  EXPECT_EQ(watch.running(), c.starts);
  if (!c.starts) {
    QCoreApplication::processEvents();
    EXPECT_FALSE(ended);
    return;
  }
  ASSERT_TRUE(test::turnEventLoopUntil([&] { return ended.has_value(); }));
  EXPECT_FALSE(watch.running());
  EXPECT_TRUE(ended->started);
  EXPECT_EQ(ended->exitCode, c.exitCode);
  EXPECT_EQ(ended->signal, c.signal);
  EXPECT_GT(turnsWhileRunning, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Watch,
    ::testing::Values(WatchCase{"exitCode", {"sh", "-c", "sleep 0.2; exit 3"}, true, 3, 0},
                      WatchCase{
                          "signal", {"sh", "-c", "sleep 0.2; kill -TERM $$"}, true, -1, SIGTERM},
                      WatchCase{"missing", {"/nonexistent/emulator"}, false, -1, 0}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
} // namespace vantor::platform
