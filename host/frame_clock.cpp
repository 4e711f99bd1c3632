// The frame clock: a pass's length in 1/70 s ticks from the platform counter.
#include "host/frame_clock.h"

#include <cmath>

#include "platform/counter.h"
#include "scenes/common/effect.h"

int64_t counter_per_tick = 0;
int64_t last_counter = 0;
double tick_accum = 0.0;
double tick_carry = 0.0;

bool frame_clock_init() {
  const int64_t frequency = counter_frequency();
  counter_per_tick = frequency / 70;
  return counter_per_tick > 0;
}

void frame_clock_start() {
  last_counter = counter_now();
  tick_carry = 0.0;
}

void frame_clock_measure() {
  const int64_t now = counter_now();
  const int64_t delta = now - last_counter;
  tick_accum = static_cast<double>(delta) / static_cast<double>(counter_per_tick) + tick_carry;
  double whole = std::floor(tick_accum);
  if (!(whole <= max_pass_ticks)) {
    whole = max_pass_ticks;
    tick_accum = whole;
  }
  tick_count = static_cast<uint32_t>(whole);
  tick_carry = tick_accum - whole;
  last_counter = now;
}
