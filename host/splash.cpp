#include "display/display.h"
#include "host/fader.h"
#include "host/show_state.h"
#include "host/splash.h"

namespace {
constexpr uint32_t splash_hold_presents = 280;
}

void run_splash_sequence() {
  display.present(frame_buffer, 0, screen_height);
  display.present(frame_buffer, 0, screen_height);
  display.set_palette(black_palette);
  display.present(splash_picture, 0, screen_height);
  for (uint32_t level = 0; level < 63; ++level) {
    blend_palette(black_palette, splash_palette, level);
    display.present(splash_picture, 0, screen_height);
  }
  for (uint32_t i = 0; i < splash_hold_presents; ++i) display.present(splash_picture, 0, screen_height);
  for (uint32_t level = 0; level < 63; ++level) {
    blend_palette(splash_palette, black_palette, level);
    display.present(splash_picture, 0, screen_height);
  }
  current_palette = black_palette;
  display.set_palette(black_palette);
}
