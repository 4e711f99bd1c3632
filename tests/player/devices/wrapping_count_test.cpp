// waveOut's position, a 32-bit count (MMTIME: samples, or bytes where a driver answers so), carried
// on in 64 bits: the readings modelled as the documentation gives them, since no device runs here
// for the 27 hours (6.8 in bytes) it takes to wrap.
#include <gtest/gtest.h>

#include <cstdint>

#include "platform/wrapping_count.h"

namespace {

constexpr uint64_t frames_per_hour = 44100ull * 3600;

TEST(WrappingCount, GoesOnAcrossEveryWrapForAHundredHoursAndNeverBack) {
  // Samples, read every minute of a hundred hours: 2^32 is passed three times.
  WrappingCount samples;
  uint64_t played = 0;
  for (int minute = 0; minute < 100 * 60; ++minute) {
    played += frames_per_hour / 60;
    ASSERT_EQ(wrapping_count_update(samples, static_cast<uint32_t>(played)), played) << "minute " << minute;
  }
  EXPECT_EQ(played, 100 * frames_per_hour);
  EXPECT_GT(played, 3 * (uint64_t{1} << 32));

  // Bytes, four to a frame, wrapping at 6.8 hours: read every second for seven hours.
  WrappingCount bytes;
  for (uint64_t b = 0; b < 7 * 4 * frames_per_hour; b += 4 * 44100)
    ASSERT_EQ(wrapping_count_update(bytes, static_cast<uint32_t>(b)) / 4, b / 4) << "second " << b / 4 / 44100;

  // A reading behind the one before is a driver's glitch: the count holds, then goes on from the
  // reading it had reached, counting nothing twice.
  WrappingCount glitch;
  for (const uint32_t reading : {0x70000000u, 0xE0000000u, 0xFFFFFF00u}) wrapping_count_update(glitch, reading);
  EXPECT_EQ(wrapping_count_update(glitch, 0xFFFFF000u), 0xFFFFFF00u);
  EXPECT_EQ(wrapping_count_update(glitch, 0x00000100u), 0x100000100ull);
}

}  // namespace
