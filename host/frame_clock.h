// The frame clock: how many 1/70 s ticks each pass took, measured with the platform counter.
#pragma once
#include <cstdint>

extern int64_t counter_per_tick;
extern int64_t last_counter;
extern double tick_accum;  // ticks of the latest pass with the carried fraction
extern double tick_carry;  // fraction carried to the next pass

// A pass after a very long pause is counted as at most this many ticks (ten minutes), which
// keeps tick_count and every scene's catch-up within their integer ranges.
constexpr uint32_t max_pass_ticks = 70 * 60 * 10;

// Sets counter_per_tick from the counter frequency; false when there is no counter.
bool frame_clock_init();
// Starts measuring from now with no carried fraction.
void frame_clock_start();
// Measures the pass: tick_accum, tick_count and tick_carry.
void frame_clock_measure();
