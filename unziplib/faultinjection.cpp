#include "unziplib/faultinjection.h"

#if defined(UNZIPLIB_TEST_HOOKS)

#include "unziplib/unziplib.h"

#include <atomic>
#include <new>

namespace unziplib {
namespace {

std::atomic<int32_t> armedSite{0};
std::atomic<int32_t> passesLeft{0};
std::atomic<bool> everyPass{false};

} // namespace

void failIfArmed(FaultSite site) {
  if (armedSite.load() != int32_t(site))
    return;
  if (everyPass.load())
    throw std::bad_alloc();
  if (passesLeft.fetch_sub(1) == 1) {
    armedSite.store(0);
    throw std::bad_alloc();
  }
}

} // namespace unziplib

extern "C" UNZIP_EXPORT void UnzipTestFailAllocation(int32_t site, int32_t pass) {
  unziplib::armedSite.store(0);
  unziplib::passesLeft.store(pass);
  unziplib::everyPass.store(pass == 0);
  unziplib::armedSite.store(site);
}

#endif
