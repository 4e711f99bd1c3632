// The monotonic clock in nanoseconds, from an arbitrary start: what the devices time their
// callbacks and answers by, and the Linux program's counter.
#pragma once
#include <chrono>
#include <cstdint>

inline int64_t steady_clock_ns() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}
