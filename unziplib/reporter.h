#pragma once

#include "unziplib/unziplib.h"

#include <cstdint>
#include <string>

namespace unziplib {

// Calls the caller's callback; remembers when it asked to stop. Used from the
// calling thread only.
class Reporter final {
public:
  explicit Reporter(const UnzipCommand &command);

  // Each returns true when the callback asked to stop.
  bool fileBegins(const std::string &name, uint64_t size);
  bool step();
  bool message(int32_t errorCode, const std::string &text);
  void batchEnd();

  bool stopRequested() const { return stopRequested_; }

private:
  bool call(int32_t action, int32_t errorCode, int32_t fileSize, const std::string &text);

  UnzipCallback callback_;
  void *caller_;
  void *ownerWindow_;
  bool stopRequested_ = false;
};

} // namespace unziplib
