// The Windows counter: QueryPerformanceCounter.
#include <windows.h>

#include "platform/counter.h"

int64_t counter_frequency() {
  LARGE_INTEGER frequency;
  return QueryPerformanceFrequency(&frequency) ? frequency.QuadPart : 0;
}

int64_t counter_now() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now.QuadPart;
}
