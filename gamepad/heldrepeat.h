#pragma once

#include "gamepad/padcommand.h"

#include <cstdint>
#include <optional>

namespace vantor {

// The repeat of a held movement, as a held key repeats: first after `delay`,
// then every `interval` milliseconds. One movement is held at a time; a new
// press takes over from the one before.
class HeldRepeat final {
public:
  HeldRepeat(std::uint32_t delay, std::uint32_t interval);

  // `source` names what holds it (a stick, a hat, a button of one device), so
  // that only its own release ends the repeat.
  void press(int source, PadCommand command, std::uint32_t now);
  void release(int source);
  void releaseAll() { held_.reset(); }

  // The command to repeat at `now`, at most once per call: a program that
  // fell behind does not make up the lost repeats in a burst.
  std::optional<PadCommand> due(std::uint32_t now);

  std::optional<PadCommand> held() const {
    return held_ ? std::optional(held_->command) : std::nullopt;
  }

private:
  struct Held {
    int source;
    PadCommand command;
    std::uint32_t nextAt;
  };
  std::uint32_t delay_;
  std::uint32_t interval_;
  std::optional<Held> held_;
};

} // namespace vantor
