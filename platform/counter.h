// High-resolution counter of the platform.
#pragma once
#include <cstdint>

// Counts per second; 0 when the platform has no usable counter.
int64_t counter_frequency();
int64_t counter_now();
