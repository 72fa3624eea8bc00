#pragma once

#include <type_traits>
#include <utility>

namespace vantor::test {

// Puts a replacement for a program-wide hook in place while it lives, and the
// real one back after it through the hook's own set function (an empty value
// restores it), even when a failed assertion ends the test early.
//   const ScopedHook ticks(platform::setTickSource, [&] { return now; });
template <typename Hook> class ScopedHook final {
public:
  ScopedHook(void (*set)(Hook), std::type_identity_t<Hook> hook) : set_(set) {
    set_(std::move(hook));
  }
  ~ScopedHook() { set_({}); }
  ScopedHook(const ScopedHook &) = delete;
  ScopedHook &operator=(const ScopedHook &) = delete;

private:
  void (*set_)(Hook);
};

} // namespace vantor::test
