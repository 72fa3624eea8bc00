#pragma once

// Allocation failures on demand, for the library's own tests: a test build
// exports UnzipTestFailAllocation, which arms one site to throw
// std::bad_alloc the n-th time it is passed. Other builds compile the checks
// to nothing.

#include <cstdint>

namespace unziplib {

enum class FaultSite : int32_t {
  None = 0,
  Commit = 1,       // the calling thread's in-order commit of an entry
  DecoderSetup = 2, // a decoder's construction, on a worker or the calling thread
  Buffer = 3,       // an entry's data buffers
};

#if defined(UNZIPLIB_TEST_HOOKS)
void failIfArmed(FaultSite site);
#else
inline void failIfArmed(FaultSite) {}
#endif

} // namespace unziplib

extern "C" {
// `site` fails with std::bad_alloc when passed for the `pass`-th time (1 =
// the next time), once, or with `pass` 0 every time; FaultSite::None disarms.
typedef void (*UnzipTestFailAllocationFunction)(int32_t site, int32_t pass);
}
