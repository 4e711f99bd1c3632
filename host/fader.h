// Palette fades: two palettes blended in 63 levels, one level uploaded per pass.
#pragma once
#include <cstdint>

extern const uint8_t* current_palette;  // where the next fade starts
extern uint32_t fade_step;              // level of the running fade, 0..62
extern uint8_t fade_output[768];        // the last blended palette
extern uint8_t black_palette[768];
// fade_target and fade_pending are shared with the scenes (scenes/common/effect.h).

// Blends from and to at level 0..62 into fade_output and uploads it.
void blend_palette(const uint8_t* from, const uint8_t* to, uint32_t level);
// One level of the running fade; ends it after level 62.
void fade_step_once();
// Event: fade from wherever the palette is towards black.
void on_fade_to_black();
