// Scene 5: a pulsating, texture-mapped, Gouraud-shaded sphere over the face picture.
#pragma once
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

// The animation, shared with the scroller: all zero at start-up and never reset by the show.
struct SphereMotion {
  int32_t tilt_angle;  // angles 0..1023
  int32_t turn_angle;
  int32_t roll_angle;
  int32_t phase_d;
  int32_t phase_e;
  int32_t wobble_phase;
  uint16_t sphere_grain_phase;  // every wrap-around moves to the next grain frame
  int32_t sphere_grain_index;   // 0..5
  // Refreshed from the angles at each tick before they step, so they lag by one tick.
  int32_t light_x;
  int32_t light_y;
  int32_t drift_x;
  int32_t drift_y;
};
extern SphereMotion sphere_motion;
