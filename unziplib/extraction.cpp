#include "unziplib/extraction.h"

#include "unziplib/entrydecoder.h"
#include "unziplib/extractionplan.h"
#include "unziplib/ordercommit.h"
#include "unziplib/targetfolder.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace unziplib {
namespace {

constexpr unsigned kMaxThreads = 4;

// Hands the planned jobs to a few threads, runs on the calling thread what no
// thread took, and commits every job there in archive order.
class Extraction final {
public:
  Extraction(const ExtractionOptions &options, Reporter &reporter)
      : options_(options), reporter_(reporter), target_(options.folder),
        plan_(options, target_, reporter), commit_(options, target_, reporter) {}
  Extraction(const Extraction &) = delete;
  Extraction &operator=(const Extraction &) = delete;

  int32_t run();

private:
  void workerLoop();
  void waitFor(size_t index, EntryDecoder &decoder);
  bool stopped();

  const ExtractionOptions &options_;
  Reporter &reporter_;
  TargetFolder target_;
  ExtractionPlan plan_;
  OrderCommit commit_;

  std::mutex mutex_;
  std::condition_variable changed_;
  size_t next_ = 0;      // first job no thread has taken
  size_t committed_ = 0; // jobs reported to the caller
  size_t window_ = 8;    // how far threads may run ahead of the reports
  bool stop_ = false;
};

bool Extraction::stopped() {
  std::lock_guard lock(mutex_);
  return stop_;
}

void Extraction::workerLoop() {
  const auto &jobs = plan_.jobs();
  EntryDecoder decoder(options_, plan_, target_, [this] { return stopped(); });
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock,
                  [&] { return stop_ || next_ >= jobs.size() || next_ < committed_ + window_; });
    if (stop_ || next_ >= jobs.size())
      return;
    Job &job = *jobs[next_++];
    if (job.done || job.taken)
      continue;
    job.taken = true;
    lock.unlock();
    decoder.decode(job);
    lock.lock();
    job.done = true;
    changed_.notify_all();
  }
}

// Waits until job `index` is done; runs it here when no thread has taken it.
void Extraction::waitFor(size_t index, EntryDecoder &decoder) {
  std::unique_lock lock(mutex_);
  Job &job = *plan_.jobs()[index];
  if (!job.done && !job.taken) {
    job.taken = true;
    next_ = std::max(next_, index + 1);
    lock.unlock();
    decoder.decode(job);
    lock.lock();
    job.done = true;
  }
  changed_.wait(lock, [&] { return job.done; });
}

int32_t Extraction::run() {
  if (!plan_.make())
    return 0;
  const auto &jobs = plan_.jobs();
  const size_t work = size_t(std::count_if(jobs.begin(), jobs.end(),
                                           [](const auto &job) { return job->kind == Job::Work; }));
  const unsigned threads =
      work < 2 ? 0
               : std::min({kMaxThreads, std::max(1u, std::thread::hardware_concurrency()),
                           unsigned(work)});
  window_ = std::max<size_t>(8, 4 * size_t(threads));
  std::vector<std::thread> pool;
  try {
    for (unsigned t = 0; t < threads; ++t)
      pool.emplace_back([this] { workerLoop(); });
  } catch (const std::exception &) {
    // Fewer threads only make it slower: the calling thread runs what is left.
  }

  EntryDecoder decoder(
      options_, plan_, target_, [this] { return stopped(); }, plan_.archive());
  bool cancelled = false;
  for (size_t i = 0; i < jobs.size() && !cancelled; ++i) {
    waitFor(i, decoder);
    cancelled = !commit_.commit(*jobs[i]);
    std::lock_guard lock(mutex_);
    committed_ = i + 1;
    changed_.notify_all();
  }
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
    changed_.notify_all();
  }
  for (std::thread &thread : pool)
    thread.join();
  // Files finished ahead of a stop never get their real names.
  for (const auto &job : jobs)
    job->temp.discard();
  if (cancelled)
    reporter_.message(UNZIP_ERR_CANCELLED, "Extraction cancelled");
  if (options_.test)
    verboseNote(options_, reporter_, std::to_string(commit_.count()) + " file(s) tested OK");
  else
    verboseNote(options_, reporter_, std::to_string(commit_.count()) + " file(s) extracted");
  return commit_.count();
}

} // namespace

void traceNote(const ExtractionOptions &options, Reporter &reporter, const std::string &text) {
  if (options.trace)
    reporter.message(UNZIP_OK, text);
}

void verboseNote(const ExtractionOptions &options, Reporter &reporter, const std::string &text) {
  if (options.verbose)
    reporter.message(UNZIP_OK, text);
}

int32_t runExtraction(const ExtractionOptions &options, Reporter &reporter) {
  Extraction extraction(options, reporter);
  const int32_t count = extraction.run();
  reporter.batchEnd();
  return count;
}

} // namespace unziplib
