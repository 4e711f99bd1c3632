// A 32-bit count that wraps (a waveOut position: 27 hours in samples, 6.8 hours in bytes),
// carried on in 64 bits from readings taken far more often than it wraps. A reading behind the
// one before (a driver's glitch, not a wrap: that would be more than half the range ahead) is
// held at the count reached, so the count never goes back.
#pragma once
#include <cstdint>

struct WrappingCount {
  uint32_t last = 0;
  uint64_t total = 0;
};

inline uint64_t wrapping_count_update(WrappingCount& count, uint32_t reading) {
  const uint32_t ahead = reading - count.last;
  if (ahead < 0x80000000u) {
    count.total += ahead;
    count.last = reading;
  }
  return count.total;
}
