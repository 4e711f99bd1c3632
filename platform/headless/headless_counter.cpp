// The headless platform's counter: a virtual clock that each present moves one period on.
#include "platform/counter.h"
#include "platform/headless/headless.h"
#include "platform/headless/headless_internal.h"

namespace {
uint64_t virtual_ns = 0;
uint32_t rate_hz = 60;
uint64_t period_remainder = 0;  // carries the nanoseconds lost to integer division
constexpr uint64_t ns_per_second = 1000000000;
}  // namespace

int64_t counter_frequency() { return static_cast<int64_t>(ns_per_second); }
int64_t counter_now() { return static_cast<int64_t>(virtual_ns); }

void headless_set_rate(uint32_t hz) { rate_hz = hz > 0 ? hz : 60; }
uint64_t headless_time_ns() { return virtual_ns; }

uint64_t headless_next_period() {
  period_remainder += ns_per_second;
  const uint64_t period = period_remainder / rate_hz;
  period_remainder %= rate_hz;
  return period;
}

void headless_advance_clock(uint64_t nanoseconds) {
  virtual_ns += nanoseconds;
  headless_render_music_until(virtual_ns);
}

void headless_reset_clock() {
  virtual_ns = 0;
  period_remainder = 0;
}

void headless_reset() {
  headless_reset_clock();
  headless_reset_music();
  headless_reset_window();
  headless_reset_video();
}
