// The triangle fillers' horizontal span cut to the screen.
#pragma once
#include <cstdint>

#include "scenes/common/effect.h"

// A span from column left up to, not including, column right, cut to columns 0..318 (column 319
// is never written): count columns from first on, nothing when count is 0. hidden is the number
// of columns cut at the left; a filler advances its attributes by it so the texture stays put.
struct SpanColumns {
  int64_t first, count, hidden;
};

inline SpanColumns fx_clip_span(int64_t left, int64_t right) {
  const int64_t end = right < screen_width - 1 ? right : screen_width - 1;
  const int64_t first = left < 0 ? 0 : left;
  if (end <= first) return {first, 0, 0};
  return {first, end - first, first - left};
}
