#pragma once

#include "platform/handles.h"
#include "platform/process.h"

#include <QObject>

#include <functional>
#include <memory>

class QSocketNotifier;
class QTimer;

namespace vantor::platform {

// Runs a program and says when it has ended, without blocking: the event
// loop turns meanwhile, so the windows repaint and answer the desktop.
class ProcessWatch final : public QObject {
  Q_OBJECT

public:
  using Finished = std::function<void(const RunResult &result)>;

  explicit ProcessWatch(QObject *parent = nullptr);
  ~ProcessWatch() override;

  // Starts the program as startProcess does. On success `finished` is called
  // once, from the event loop, when the program has ended; otherwise the
  // system's reason comes back and nothing is called.
  QString start(const QStringList &arguments, const QString &workingFolder, Finished finished);
  bool running() const { return pid_ > 0; }

private:
  void collect();

  int pid_ = -1;
  UniqueFd pidFd_;
  std::unique_ptr<QSocketNotifier> notifier_;
  std::unique_ptr<QTimer> poll_; // where the kernel has no process descriptors
  Finished finished_;
};

} // namespace vantor::platform
