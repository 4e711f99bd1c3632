// The rig's programs do their work once a millisecond on the monotonic clock, which the programs
// under test read too (std::chrono::steady_clock).
#pragma once
#include <cstdint>
#include <ctime>

inline int64_t now_ns() {
  timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec;
}

// Sleeps until `next`, one millisecond after the previous wake-up (no drift from late wake-ups).
inline void sleep_a_millisecond(timespec& next) {
  next.tv_nsec += 1000000;
  if (next.tv_nsec >= 1000000000) {
    next.tv_nsec -= 1000000000;
    ++next.tv_sec;
  }
  clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &next, nullptr);
}
