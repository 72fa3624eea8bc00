// The repeat of a held movement across the clock's wrap and between sources.
#include "gamepad/heldrepeat.h"

#include <gtest/gtest.h>

using namespace vantor;

namespace {

TEST(HeldRepeat, CountsAcrossTheTickCountersWrap) {
  HeldRepeat repeat(500, 40);
  const std::uint32_t start = 0xFFFFFF00u;
  repeat.press(1, PadCommand::Next, start);
  EXPECT_FALSE(repeat.due(start + 499));
  EXPECT_EQ(repeat.due(start + 500), PadCommand::Next);
  EXPECT_FALSE(repeat.due(start + 539));
  EXPECT_EQ(repeat.due(start + 540), PadCommand::Next);
}

TEST(HeldRepeat, OnlyTheHoldersReleaseEndsIt) {
  HeldRepeat repeat(0, 10);
  repeat.press(1, PadCommand::Previous, 0);
  repeat.press(2, PadCommand::Next, 0); // the newer press takes over
  repeat.release(1);
  EXPECT_EQ(repeat.held(), PadCommand::Next);
  repeat.release(2);
  EXPECT_FALSE(repeat.due(100));
}

} // namespace
