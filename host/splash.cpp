// The splash before the music, drawn by the host itself.
#include "host/splash.h"
#include "display/display.h"
#include "host/fader.h"
#include "host/show_state.h"

namespace {

constexpr uint32_t splash_hold_presents = 280;

bool show(const uint8_t* picture) { return display.present(picture, 0, screen_height) == 0; }

bool fade(const uint8_t* from, const uint8_t* to) {
  for (uint32_t level = 0; level < 63; ++level) {
    blend_palette(from, to, level);
    if (!show(splash_picture)) return false;
  }
  return true;
}

}  // namespace

bool run_splash_sequence() {
  if (!show(frame_buffer) || !show(frame_buffer)) return false;
  display.set_palette(black_palette);
  if (!show(splash_picture) || !fade(black_palette, splash_palette)) return false;
  for (uint32_t i = 0; i < splash_hold_presents; ++i)
    if (!show(splash_picture)) return false;
  if (!fade(splash_palette, black_palette)) return false;
  current_palette = black_palette;
  display.set_palette(black_palette);
  return true;
}
