#include "unziplib/extraction.h"

#include "unziplib/entrydecoder.h"
#include "unziplib/extractionplan.h"
#include "unziplib/faultinjection.h"
#include "unziplib/ordercommit.h"
#include "unziplib/phaseclock.h"
#include "unziplib/targetfolder.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <new>
#include <optional>
#include <stop_token>
#include <thread>

namespace unziplib {
namespace {

constexpr unsigned kMaxThreads = 4;

// Hands the planned jobs to a few threads, runs on the calling thread what no
// thread took, and commits every job there in archive order.
class Extraction final {
public:
  Extraction(const ExtractionOptions &options, const TargetFolder &target, Reporter &reporter)
      : options_(options), reporter_(reporter), target_(target), plan_(options, target_, reporter),
        commit_(options, target_, reporter) {}
  Extraction(const Extraction &) = delete;
  Extraction &operator=(const Extraction &) = delete;

  int32_t run();

private:
  enum class Outcome { Finished, Cancelled, OutOfMemory };

  void workerLoop(std::stop_token token);
  void waitFor(size_t index, EntryDecoder *decoder);
  Outcome commitInOrder();
  bool stopped();

  const ExtractionOptions &options_;
  Reporter &reporter_;
  const TargetFolder &target_;
  ExtractionPlan plan_;
  OrderCommit commit_;

  std::mutex mutex_;
  std::condition_variable_any changed_;
  size_t next_ = 0;      // first job no thread has taken
  size_t committed_ = 0; // jobs reported to the caller
  size_t window_ = 8;    // how far threads may run ahead of the reports
  bool stop_ = false;
  bool workerFailed_ = false; // a thread could not set itself up
  size_t workers_ = 0;        // threads started
};

bool Extraction::stopped() {
  std::lock_guard lock(mutex_);
  return stop_;
}

void Extraction::workerLoop(std::stop_token token) {
  // Nothing may escape a thread: a failure to set up stops the extraction,
  // and the calling thread reports it.
  try {
    const auto &jobs = plan_.jobs();
    EntryDecoder decoder(options_, plan_, target_,
                         [this, token] { return token.stop_requested() || stopped(); });
    std::unique_lock lock(mutex_);
    for (;;) {
      if (!changed_.wait(lock, token, [&] {
            return stop_ || next_ >= jobs.size() || next_ < committed_ + window_;
          }))
        return;
      if (token.stop_requested() || stop_ || next_ >= jobs.size())
        return;
      Job &job = *jobs[next_++];
      if (job.done || job.taken)
        continue;
      job.taken = true;
      lock.unlock();
      bool failed = false;
      try {
        decoder.decode(job);
      } catch (...) {
        failed = true; // a failure too deep even to be kept with the entry
      }
      lock.lock();
      // Done either way, so the calling thread never waits for it in vain.
      job.done = true;
      workerFailed_ = workerFailed_ || failed;
      stop_ = stop_ || failed;
      changed_.notify_all();
    }
  } catch (...) {
    std::lock_guard lock(mutex_);
    workerFailed_ = true;
    stop_ = true;
    changed_.notify_all();
  }
}

// Waits until job `index` is done, or until a failed thread stops the rest;
// with a decoder (no thread was started), runs the job here.
void Extraction::waitFor(size_t index, EntryDecoder *decoder) {
  std::unique_lock lock(mutex_);
  Job &job = *plan_.jobs()[index];
  if (decoder && !job.done && !job.taken) {
    job.taken = true;
    next_ = std::max(next_, index + 1);
    lock.unlock();
    decoder->decode(job);
    lock.lock();
    job.done = true;
  }
  const PhaseTimer timer(Phase::Wait);
  changed_.wait(lock, [&] { return job.done || (stop_ && !job.taken); });
}

Extraction::Outcome Extraction::commitInOrder() {
  const auto &jobs = plan_.jobs();
  try {
    // This thread decodes only when no other was started: beside them, a
    // decoder here would take memory of its own (the first touch of fresh
    // memory is dear on some machines) and processor time from them.
    std::optional<EntryDecoder> decoder;
    if (workers_ == 0)
      decoder.emplace(
          options_, plan_, target_, [this] { return stopped(); }, plan_.archive());
    for (size_t i = 0; i < jobs.size(); ++i) {
      waitFor(i, decoder ? &*decoder : nullptr);
      {
        std::lock_guard lock(mutex_);
        if (workerFailed_)
          return Outcome::OutOfMemory;
      }
      failIfArmed(FaultSite::Commit);
      const PhaseTimer timer(Phase::Commit);
      if (!commit_.commit(*jobs[i]))
        return Outcome::Cancelled;
      std::lock_guard lock(mutex_);
      committed_ = i + 1;
      changed_.notify_all();
    }
  } catch (const std::bad_alloc &) {
    return Outcome::OutOfMemory;
  }
  return Outcome::Finished;
}

int32_t Extraction::run() {
  resetPhases();
  bool planned = false;
  {
    const PhaseTimer timer(Phase::Plan);
    planned = plan_.make();
  }
  if (!planned)
    return 0;
  const auto &jobs = plan_.jobs();
  const size_t work = size_t(std::count_if(jobs.begin(), jobs.end(),
                                           [](const auto &job) { return job->kind == Job::Work; }));
  const unsigned threads =
      work < 2 ? 0
               : std::min({kMaxThreads, std::max(1u, std::thread::hardware_concurrency()),
                           unsigned(work)});
  window_ = std::max<size_t>(8, 4 * size_t(threads));
  Outcome outcome = Outcome::Finished;
  {
    // Declared after what the threads use, so that however this block is
    // left, each thread is told to stop and joined before any of it goes.
    std::vector<std::jthread> pool;
    try {
      for (unsigned t = 0; t < threads; ++t)
        pool.emplace_back([this](std::stop_token token) { workerLoop(std::move(token)); });
    } catch (const std::exception &) {
      // Fewer threads only make it slower; with none, the calling thread runs
      // every job.
    }
    workers_ = pool.size();
    outcome = commitInOrder();
    std::lock_guard lock(mutex_);
    stop_ = true;
    changed_.notify_all();
  }
  // A thread that failed after the last entry is still a failure of the call.
  if (workerFailed_)
    outcome = Outcome::OutOfMemory;
  // Files finished ahead of a stop never get their real names.
  for (const auto &job : jobs)
    job->temp.discard();
  if (outcome == Outcome::Cancelled)
    reporter_.message(UNZIP_ERR_CANCELLED, "Extraction cancelled");
  if (outcome == Outcome::OutOfMemory)
    reporter_.message(UNZIP_ERR_DATA, "Out of memory");
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

int32_t runExtraction(const ExtractionOptions &options, const TargetFolder &target,
                      Reporter &reporter) {
  Extraction extraction(options, target, reporter);
  const int32_t count = extraction.run();
  printPhases();
  reporter.batchEnd();
  return count;
}

} // namespace unziplib
