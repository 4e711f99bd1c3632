// Scene 5: the pulsating, textured, Gouraud-shaded sphere over the face picture.
#include "scenes/sphere/sphere.h"

#include <cstring>

#include "scenes/common/fx.h"
#include "scenes/sphere/sphere_mesh.h"

SphereMotion sphere_motion = {};
uint8_t sphere_blur_div[smooth_divide_size];

namespace {

// Rows 0 and 199 between the side bars are kept black.
void clear_border_rows(uint8_t* frame) {
  fx_clear_row(frame, 0, 32, 288);
  fx_clear_row(frame, screen_height - 1, 32, 288);
}

void advance_one_tick(SphereMotion& s) {
  fx_grain_tick(s.sphere_grain_index, s.sphere_grain_phase);
  // Light and drift follow the angles as they were before this tick's step.
  s.light_x = fx_sin(s.phase_d) >> 2;
  s.light_y = fx_sin(s.phase_e) >> 2;
  s.drift_x = fx_sin(s.turn_angle) >> 2;
  s.drift_y = fx_sin(s.phase_d) >> 2;
  s.turn_angle = (s.turn_angle + 1) & 1023;
  s.roll_angle = (s.roll_angle + 1023) & 1023;
  s.phase_d = (s.phase_d + 2) & 1023;
  s.phase_e = (s.phase_e + 3) & 1023;
  s.wobble_phase = (s.wobble_phase + 5) & 1023;
}

}  // namespace

void sphere_init() {
  fx_build_divide(sphere_blur_div);
  build_shade_table();
  load_sphere_model();
  build_sphere_uv();
  compute_sphere_normals();
}

void sphere_draw(uint8_t* frame) {
  fx_frame = frame;
  fx_first_pass(sphere_palette);
  std::memcpy(frame, grain_frames[grain_face_frame], frame_size);
  draw_sphere_mesh();
  fx_or_frame(frame, grain_frames[sphere_motion.sphere_grain_index]);
  fx_smooth(frame, sphere_blur_div);
  clear_border_rows(frame);
}

void sphere_draw_on_black() {
  std::memset(fx_frame, 0, frame_size);
  draw_sphere_mesh();
  fx_smooth(fx_frame, sphere_blur_div);
  clear_border_rows(fx_frame);
}

void sphere_advance() {
  for (uint32_t tick = 0; tick < tick_count; ++tick) advance_one_tick(sphere_motion);
}

void sphere_update(double) {
  sphere_advance();
  tick_count = 0;
}
