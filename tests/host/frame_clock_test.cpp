// The frame clock: whole ticks per pass, the fraction carried, and the clamp after a long pause.
#include <gtest/gtest.h>

#include "host/frame_clock.h"
#include "platform/headless/headless.h"
#include "scenes/common/effect.h"

namespace {

constexpr uint64_t ns_per_tick = 1000000000ull / 70;  // the counter runs in nanoseconds

TEST(FrameClock, CountsPerTickIsTheFrequencyOverSeventyTruncated) {
  ASSERT_TRUE(frame_clock_init());
  EXPECT_EQ(counter_per_tick, 14285714);
}

TEST(FrameClock, ShortPassesCarryTheirFractionUntilAWholeTick) {
  ASSERT_TRUE(frame_clock_init());
  frame_clock_start();
  headless_advance_clock(ns_per_tick / 2);
  frame_clock_measure();
  EXPECT_EQ(tick_count, 0u);
  EXPECT_NEAR(tick_carry, 0.5, 1e-6);
  headless_advance_clock(ns_per_tick * 3 / 4);
  frame_clock_measure();
  EXPECT_EQ(tick_count, 1u);
  EXPECT_NEAR(tick_accum, 1.25, 1e-6);
  EXPECT_NEAR(tick_carry, 0.25, 1e-6);
}

TEST(FrameClock, TickCountIsThisPassOnlyNotARunningTotal) {
  ASSERT_TRUE(frame_clock_init());
  frame_clock_start();
  headless_advance_clock(ns_per_tick * 3);
  frame_clock_measure();
  headless_advance_clock(ns_per_tick * 2);
  frame_clock_measure();
  EXPECT_EQ(tick_count, 2u);
}

TEST(FrameClock, AVeryLongPauseIsClampedWithoutOverflow) {
  ASSERT_TRUE(frame_clock_init());
  frame_clock_start();
  headless_advance_clock(400ull * 24 * 3600 * 1000000000ull);  // 400 days inactive
  frame_clock_measure();
  EXPECT_EQ(tick_count, max_pass_ticks);
  EXPECT_EQ(tick_carry, 0.0);
  headless_advance_clock(ns_per_tick);
  frame_clock_measure();
  EXPECT_EQ(tick_count, 1u);
}

}  // namespace
