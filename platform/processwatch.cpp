#include "platform/processwatch.h"

#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vantor::platform {
namespace {

// Kernels before 5.3 have no process descriptors; the watch then polls.
constexpr int kPollInterval = 50; // ms

int openProcessDescriptor(int pid) {
#ifdef SYS_pidfd_open
  return int(::syscall(SYS_pidfd_open, pid, 0));
#else
  (void)pid;
  errno = ENOSYS;
  return -1;
#endif
}

} // namespace

ProcessWatch::ProcessWatch(QObject *parent) : QObject(parent) {}

// A program still running when its watch goes keeps running; the system
// collects it once we have ended.
ProcessWatch::~ProcessWatch() = default;

QString ProcessWatch::start(const QStringList &arguments, const QString &workingFolder,
                            Finished finished) {
  const StartResult started = startProcess(arguments, workingFolder);
  if (started.pid <= 0)
    return started.error;
  pid_ = started.pid;
  finished_ = std::move(finished);
  pidFd_.reset(openProcessDescriptor(pid_));
  if (pidFd_.valid()) {
    notifier_ = std::make_unique<QSocketNotifier>(pidFd_.get(), QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, [this] { collect(); });
  } else {
    poll_ = std::make_unique<QTimer>();
    connect(poll_.get(), &QTimer::timeout, this, [this] { collect(); });
    poll_->start(kPollInterval);
  }
  return {};
}

void ProcessWatch::collect() {
  int status = 0;
  pid_t ended = 0;
  do
    ended = ::waitpid(pid_, &status, WNOHANG);
  while (ended < 0 && errno == EINTR);
  if (ended == 0)
    return; // still running
  const RunResult result =
      ended > 0 ? endedProcess(status) : RunResult{true, -1, 0, errorText(errno)};
  pid_ = -1;
  if (notifier_)
    notifier_->setEnabled(false);
  notifier_.reset();
  poll_.reset();
  pidFd_.reset();
  if (Finished finished = std::exchange(finished_, {}))
    finished(result);
}

} // namespace vantor::platform
