// The SDL platform's counter: the monotonic clock in nanoseconds.
#include "platform/counter.h"
#include "platform/steady_clock.h"

// The monotonic clock in nanoseconds serves as the high-resolution counter.
int64_t counter_frequency() { return 1000000000; }

int64_t counter_now() { return steady_clock_ns(); }
