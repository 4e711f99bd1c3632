// The web page's counter: the browser's clock in microseconds.
#include <emscripten.h>

#include "platform/counter.h"

// The page's clock (performance.now(), in milliseconds) counted in microseconds.
int64_t counter_frequency() { return 1000000; }
int64_t counter_now() { return static_cast<int64_t>(emscripten_get_now() * 1000.0); }
