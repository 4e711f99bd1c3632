// Scene 4: the spiked ball tumbles and drifts, flat-shaded and depth-sorted, over the previous
// picture darkened by a fixed step, with grain (or the face on a beat) and a smoothing on top.
#include "scenes/ball/ball.h"

#include "scenes/ball/ball_steps.h"
#include "scenes/common/depth_sort.h"
#include "scenes/common/fx.h"

namespace {

int32_t ball_vertex_count = 0;
int32_t ball_face_count = 0;
Vec3 ball_vertices[ball_capacity];
BallFace ball_faces[ball_capacity];
Vec3 ball_normals[ball_capacity];
Vec3 ball_view[ball_capacity];
Vec3 ball_view_normals[ball_capacity];
Vec2 ball_screen[ball_capacity];
uint32_t ball_keys[2][ball_capacity];

uint8_t ball_decay[256];
uint8_t ball_divide[smooth_divide_size];

int32_t ball_angle_x = 0, ball_angle_y = 0, ball_angle_z = 0;
int32_t ball_shift_x = 0, ball_shift_y = 0, ball_depth = 350;
int32_t ball_grain_index = 0;
uint16_t ball_grain_phase = 0;

uint32_t read16(int32_t offset) { return ball_mesh[offset] | ball_mesh[offset + 1] << 8; }
uint32_t read32(int32_t offset) { return read16(offset) | read16(offset + 2) << 16; }

// Entries that fit both the working arrays and the stored bytes (the stored mesh always does).
int32_t entries_within(uint32_t count, uint32_t offset) {
  if (offset > static_cast<uint32_t>(ball_mesh_size)) return 0;
  const uint32_t fit = (ball_mesh_size - offset) / 6;
  const uint32_t n = count < fit ? count : fit;
  return static_cast<int32_t>(n < ball_capacity ? n : ball_capacity);
}

void ball_tick() {
  fx_grain_tick(ball_grain_index, ball_grain_phase);
  ball_shift_x = fx_sin(ball_angle_x) >> 2;
  ball_shift_y = fx_sin(ball_angle_y) >> 2;
  ball_depth = ((fx_sin(ball_angle_x) + 512) >> 3) + 250;
  ball_angle_x = (ball_angle_x + 1) & 1023;
  ball_angle_y = (ball_angle_y + 2) & 1023;
}

}  // namespace

void ball_init() {
  ball_vertex_count = entries_within(read16(0), read32(2));
  ball_face_count = entries_within(read16(6), read32(8));
  const int32_t vertex_offset = static_cast<int32_t>(read32(2));
  const int32_t face_offset = static_cast<int32_t>(read32(8));
  for (int32_t i = 0; i < ball_vertex_count; ++i) {
    const int32_t at = vertex_offset + 6 * i;
    ball_vertices[i] = {static_cast<int16_t>(read16(at)), static_cast<int16_t>(read16(at + 2)),
                        static_cast<int16_t>(read16(at + 4))};
  }
  for (int32_t f = 0; f < ball_face_count; ++f) {
    const int32_t at = face_offset + 6 * f;
    uint32_t index[3] = {read16(at), read16(at + 2), read16(at + 4)};
    // A malformed face may not reach past the vertices: it collapses onto vertex 0.
    for (uint32_t& i : index)
      if (i >= static_cast<uint32_t>(ball_vertex_count)) i = 0;
    ball_faces[f] = {index[0], index[1], index[2]};
    ball_normals[f] = ball_face_normal(ball_vertices[index[0]], ball_vertices[index[1]], ball_vertices[index[2]]);
  }
  fx_build_decay(ball_decay, 56);
  fx_build_divide(ball_divide);
}

void ball_draw(uint8_t* frame) {
  fx_frame = frame;
  fx_first_pass(ball_palette);
  fx_decay(frame, ball_decay);

  const Matrix3 m = fx_matrix(ball_angle_x, ball_angle_y, ball_angle_z);
  for (int32_t i = 0; i < ball_vertex_count; ++i) {
    const Vec3 v = fx_rotate(m, ball_vertices[i]);
    ball_view[i] = {v.x + ball_shift_x, v.y + ball_shift_y, v.z + ball_depth};
    ball_screen[i] = ball_project(ball_view[i]);
  }
  for (int32_t f = 0; f < ball_face_count; ++f) ball_view_normals[f] = fx_rotate(m, ball_normals[f]);
  if (ball_face_count > 0) {
    ball_depth_keys(ball_faces, ball_face_count, ball_view, ball_keys[0]);
    depth_sort(ball_keys[0], ball_keys[1], ball_face_count);
    ball_paint_faces(ball_keys[0], ball_face_count, ball_faces, ball_view_normals, ball_screen, frame);
  }

  if (beat_pulse == 1) {
    ball_grain_index = grain_face_frame;
    ball_grain_phase = 0;
    beat_pulse = 0;
  }
  fx_or_frame(frame, grain_frames[ball_grain_index]);
  fx_smooth(frame, ball_divide);
  // The smoothing leaves rows 0 and 199 alone; clear them between the side bars.
  fx_clear_row(frame, 0, 32, 288);
  fx_clear_row(frame, screen_height - 1, 32, 288);
}

void ball_update(double) {
  for (uint32_t t = 0; t < tick_count; ++t) ball_tick();
  tick_count = 0;
}

BallProbe ball_probe() {
  return {ball_angle_x, ball_angle_y, ball_angle_z,     ball_shift_x,
          ball_shift_y, ball_depth,   ball_grain_index, ball_grain_phase};
}

void ball_reset() {
  ball_angle_x = ball_angle_y = ball_angle_z = 0;
  ball_shift_x = ball_shift_y = 0;
  ball_depth = 350;
  ball_grain_index = 0;
  ball_grain_phase = 0;
}
