#pragma once

// Where an extraction's time goes, for tuning: a build with
// UNZIPLIB_PROFILE=ON sums the time of each phase over all threads and
// prints the sums to standard error when a call ends. Other builds compile
// the timers to nothing.

#include <cstdint>

namespace unziplib {

enum class Phase {
  Plan,     // archive and central directory opened, entries planned
  Read,     // compressed data read or mapped
  Inflate,  // decompression
  Checksum, // CRC of whole entries
  Write,    // data handed to the file system
  Close,    // time stamp set and file closed
  Stream,   // entries streamed through the zip reader (read, inflate and CRC)
  Commit,   // callbacks and renames on the calling thread
  Wait,     // the calling thread waiting for a worker's entry
  Count
};

#if defined(UNZIPLIB_PROFILE)
class PhaseTimer final {
public:
  explicit PhaseTimer(Phase phase);
  ~PhaseTimer();
  PhaseTimer(const PhaseTimer &) = delete;
  PhaseTimer &operator=(const PhaseTimer &) = delete;

private:
  Phase phase_;
  int64_t start_;
};
void resetPhases();
void printPhases();
#else
class PhaseTimer final {
public:
  explicit PhaseTimer(Phase) {}
};
inline void resetPhases() {}
inline void printPhases() {}
#endif

} // namespace unziplib
