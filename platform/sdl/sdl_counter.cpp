#include <chrono>

#include "platform/counter.h"

// The monotonic clock in nanoseconds serves as the high-resolution counter.
int64_t counter_frequency() { return 1000000000; }

int64_t counter_now() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}
