#pragma once

#include <QObject>
#include <QPointer>

#include <atomic>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <utility>

namespace vantor::platform {

// Wakes its thread's event loop; what to do there is the mailbox's.
class MailboxWaker final : public QObject {
  Q_OBJECT

public:
  explicit MailboxWaker(std::function<void()> onWake, QObject *parent)
      : QObject(parent), onWake_(std::move(onWake)) {}
  // Any thread: a queued call, dropped if the waker goes first.
  void wakeLater();

private:
  Q_INVOKABLE void wake() { onWake_(); }

  std::function<void()> onWake_;
};

// Hands values from worker threads to the thread of `owner`, in order. The
// values travel under a lock of their own and the queued call that wakes the
// owner carries no data, so their hand-over never rests on the event
// queue's internal locking (which the thread checker cannot see). Workers
// must be joined before the mailbox goes.
template <typename T> class WorkerMailbox final {
public:
  WorkerMailbox(QObject *owner, std::function<void(T &&value)> deliver)
      : deliver_(std::move(deliver)), waker_(new MailboxWaker([this] { deliverAll(); }, owner)) {}
  WorkerMailbox(const WorkerMailbox &) = delete;
  WorkerMailbox &operator=(const WorkerMailbox &) = delete;
  ~WorkerMailbox() { delete waker_; }

  // Any thread.
  void post(T value) {
    {
      const std::lock_guard<std::mutex> hold(mutex_);
      values_.push_back(std::move(value));
    }
    waker_->wakeLater();
  }

  // The owner's thread: forgets what has not been delivered yet, the rest of
  // a batch being delivered included.
  void clear() {
    const std::lock_guard<std::mutex> hold(mutex_);
    values_.clear();
    ++clears_;
  }

private:
  void deliverAll() {
    std::deque<T> values;
    {
      const std::lock_guard<std::mutex> hold(mutex_);
      values.swap(values_);
    }
    // A value may end the owner, and the mailbox with it, or clear it.
    const QPointer<MailboxWaker> alive(waker_);
    const quint64 clears = clears_;
    for (T &value : values) {
      if (!alive || clears_ != clears)
        return;
      deliver_(std::move(value));
    }
  }

  std::function<void(T &&value)> deliver_;
  MailboxWaker *waker_;
  std::mutex mutex_;
  std::deque<T> values_;
  quint64 clears_ = 0; // the owner's thread only
};

// One piece of work at a time on a thread of its own, its results handed to
// the owner's thread through a mailbox. Starting again, or stopping, ends the
// run before (it looks at stopping() now and then) and drops what it had not
// delivered.
template <typename T> class SingleWorker final {
public:
  SingleWorker(QObject *owner, std::function<void(T &&value)> deliver)
      : results_(owner, std::move(deliver)) {}
  SingleWorker(const SingleWorker &) = delete;
  SingleWorker &operator=(const SingleWorker &) = delete;
  ~SingleWorker() { stop(); }

  // The owner's thread. What `work` throws is dropped: nothing may escape a
  // worker, and what it had not posted is simply not there.
  void start(std::function<void()> work) {
    stop();
    stop_ = false;
    thread_ = std::thread([work = std::move(work)] {
      try {
        work();
      } catch (...) {
      }
    });
  }
  void stop() {
    stop_ = true;
    if (thread_.joinable())
      thread_.join();
    results_.clear();
  }

  // The worker's thread.
  bool stopping() const { return stop_; }
  void post(T value) { results_.post(std::move(value)); }

private:
  std::thread thread_;
  std::atomic_bool stop_{false};
  WorkerMailbox<T> results_;
};

} // namespace vantor::platform
