// The side bars: the bar picture down the left edge and mirrored down the right.
#include "host/show_state.h"
#include "host/splash.h"

void draw_side_bars(uint8_t* frame) {
  constexpr int32_t bar_width = 32;
  constexpr int32_t right_bar = screen_width - bar_width;
  for (int32_t y = 0; y < screen_height; ++y) {
    const uint8_t* bar = sidebar_picture + y * bar_width;
    uint8_t* row = frame + y * screen_width;
    for (int32_t x = 0; x < bar_width; ++x) {
      row[x] = bar[x];
      row[right_bar + x] = bar[bar_width - 1 - x];
    }
  }
}
