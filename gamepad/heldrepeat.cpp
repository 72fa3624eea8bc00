#include "gamepad/heldrepeat.h"

#include <algorithm>

namespace vantor {
namespace {

// Signed difference: right across the tick counter's wrap.
bool reached(std::uint32_t now, std::uint32_t at) {
  return std::int32_t(now - at) >= 0;
}

} // namespace

HeldRepeat::HeldRepeat(std::uint32_t delay, std::uint32_t interval)
    : delay_(delay), interval_(std::max<std::uint32_t>(interval, 1)) {}

void HeldRepeat::press(int source, PadCommand command, std::uint32_t now) {
  held_ = Held{source, command, now + delay_};
}

void HeldRepeat::release(int source) {
  if (held_ && held_->source == source)
    held_.reset();
}

std::optional<PadCommand> HeldRepeat::due(std::uint32_t now) {
  if (!held_ || !reached(now, held_->nextAt))
    return std::nullopt;
  held_->nextAt += interval_;
  if (reached(now, held_->nextAt))
    held_->nextAt = now + interval_;
  return held_->command;
}

} // namespace vantor
