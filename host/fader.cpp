// Palette fades: the blend of two palettes, one of 63 levels uploaded a pass.
#include "host/fader.h"

#include "display/display.h"
#include "scenes/common/effect.h"

const uint8_t* current_palette = nullptr;
uint32_t fade_step = 0;
uint8_t fade_output[768];
uint8_t black_palette[768];

void blend_palette(const uint8_t* from, const uint8_t* to, uint32_t level) {
  // The weights add up to 63 and the divisor is 64, so no level gives either palette exactly.
  for (int i = 0; i < 768; ++i) {
    fade_output[i] = static_cast<uint8_t>((level * to[i] + (63 - level) * from[i]) >> 6);
  }
  display.set_palette(fade_output);
}

void fade_step_once() {
  blend_palette(current_palette, fade_target, fade_step);
  if (++fade_step == 63) {
    fade_pending = 0;
    fade_step = 0;
    current_palette = fade_target;
  }
}

void on_fade_to_black() {
  fade_target = black_palette;
  fade_pending = 1;
}
