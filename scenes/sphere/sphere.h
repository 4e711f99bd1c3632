#pragma once
// Scene 5: a pulsating, texture-mapped, Gouraud-shaded sphere over the face picture.
#include <cstdint>

void sphere_init();
void sphere_draw(uint8_t* frame);
void sphere_update(double ticks);
// For the scroller: the sphere on black into fx_frame, and the animation by tick_count ticks.
void sphere_draw_on_black();
void sphere_advance();

constexpr int32_t sphere_model_size = 4776;
extern const uint8_t sphere_model[sphere_model_size];
extern const uint8_t sphere_palette[768];
// Row L (0..63), column n: the palette index nearest to colour n at L/64 brightness.
extern uint8_t sphere_shade_table[64 * 256];
