// Pacing flips that come back faster than the display period.
#include <gtest/gtest.h>

#include "platform/frame_pacer.h"

namespace {

using namespace std::chrono;
using clock_type = steady_clock;

TEST(FramePacer, FastFlipsSleepOutTheRestOfEachPeriodWithoutDrift) {
  FramePacer pacer;
  const clock_type::time_point start{seconds(100)};
  frame_pacer_start(pacer, 50, start);  // 20 ms
  // A flip that returns at once sleeps until one period after the previous flip; the next
  // period counts from that target, not from the late wake-up.
  EXPECT_EQ(frame_pacer_next(pacer, start + milliseconds(1)), start + milliseconds(20));
  EXPECT_EQ(frame_pacer_next(pacer, start + milliseconds(21)), start + milliseconds(40));
  EXPECT_EQ(frame_pacer_next(pacer, start + milliseconds(40)), start + milliseconds(60));
}

TEST(FramePacer, SlowFlipsAndNearMissesDoNotSleep) {
  FramePacer pacer;
  const clock_type::time_point start{seconds(5)};
  frame_pacer_start(pacer, 50, start);
  const clock_type::time_point late = start + milliseconds(35);
  EXPECT_EQ(frame_pacer_next(pacer, late), late);  // already past the period
  // Less than half a millisecond before the target: no sleep, the period restarts now.
  const clock_type::time_point near = late + microseconds(19600);
  EXPECT_EQ(frame_pacer_next(pacer, near), near);
}

TEST(FramePacer, AnUnknownRateCountsAsSixtyHertz) {
  for (const int hz : {0, -1}) {
    FramePacer pacer;
    const clock_type::time_point start{seconds(1)};
    frame_pacer_start(pacer, hz, start);
    EXPECT_EQ(frame_pacer_next(pacer, start), start + duration_cast<clock_type::duration>(seconds(1)) / 60) << hz;
  }
  FramePacer pacer;
  frame_pacer_start(pacer, 70, clock_type::time_point{});
  EXPECT_EQ(pacer.period, duration_cast<clock_type::duration>(seconds(1)) / 70);
}

}  // namespace
