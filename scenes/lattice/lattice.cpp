// Scene 1: the flight through the depth-shaded line lattice, with the face's flashes on beats.
#include "scenes/lattice/lattice.h"

#include <algorithm>

#include "scenes/common/fixed3d.h"
#include "scenes/common/fx.h"

namespace {

constexpr int32_t lattice_side = 8;
// Equal to the drift's wrap, so the flight through the lattice loops seamlessly.
constexpr int32_t lattice_spacing = 512;
constexpr int32_t drift_step = 5;

Vec3 lattice_points[lattice_point_count];
Vec3 lattice_view[lattice_point_count];
LatticeEdge lattice_edges[lattice_edge_count];

uint32_t lattice_spin = 0;
uint32_t lattice_turn = 0;
uint32_t lattice_drift_x = 0;
uint32_t lattice_drift_z = 0;
uint8_t lattice_reverse = 0;
int32_t grain_index = 0;
uint16_t grain_phase = 0;

uint8_t lattice_decay[256];
uint8_t lattice_blur_div[smooth_divide_size];

void build_points() {
  for (int32_t i = 0; i < lattice_point_count; ++i) {
    const int32_t ix = i % lattice_side, iy = i / lattice_side % lattice_side, iz = i / (lattice_side * lattice_side);
    lattice_points[i] = {-1792 + lattice_spacing * ix, -1792 + lattice_spacing * iy, -1792 + lattice_spacing * iz};
  }
}

// Along x row by row, then along y plane by plane, then along z.
void build_edges() {
  int32_t e = 0;
  for (int32_t row = 0; row < 64; ++row) {
    for (int32_t ix = 0; ix < 7; ++ix) lattice_edges[e++] = {8 * row + ix, 8 * row + ix + 1};
  }
  for (int32_t iz = 0; iz < 8; ++iz) {
    for (int32_t p = 64 * iz; p < 64 * iz + 56; ++p) lattice_edges[e++] = {p, p + 8};
  }
  for (int32_t p = 0; p < 448; ++p) lattice_edges[e++] = {p, p + 64};
}

// Turn about the view axis, then in the x-z plane; each product shifted on its own.
void transform_points() {
  for (int32_t i = 0; i < lattice_point_count; ++i) {
    const int32_t tx = lattice_points[i].x + static_cast<int32_t>(lattice_drift_x);
    const int32_t tz = lattice_points[i].z + static_cast<int32_t>(lattice_drift_z);
    const Vec2 spun = fx_rotate_2d({tx, lattice_points[i].y}, lattice_spin);
    const Vec2 turned = fx_rotate_2d({spun.x, tz}, lattice_turn);
    lattice_view[i] = {turned.x, spun.y, turned.y};
  }
}

// Moves the hidden end h of an edge onto the near plane, towards the visible end v.
Vec3 clip_to_near(Vec3 v, Vec3 h) {
  const int64_t depth = static_cast<int64_t>(v.z) - h.z;
  return {static_cast<int32_t>(v.x + (static_cast<int64_t>(h.x) - v.x) * v.z / depth),
          static_cast<int32_t>(v.y + (static_cast<int64_t>(h.y) - v.y) * v.z / depth), 1};
}

// Near lines bright, far lines dim. A depth sum below 16 would give 256, which wraps to 0 and
// would leave the nearest lines invisible: they take the brightest colour instead.
uint8_t depth_colour(int32_t z1, int32_t z2) {
  const int64_t k = std::clamp<int64_t>((int64_t{z1} + z2) >> 4, 0, 255);
  return static_cast<uint8_t>(k == 0 ? 255 : 256 - k);
}

}  // namespace

Vec2 project_point(Vec3 p) { return fx_project(p, screen_centre); }

void lattice_draw_edge(uint8_t* frame, Vec3 p1, Vec3 p2) {
  if (p1.z <= 0 && p2.z <= 0) return;
  if (p1.z <= 0) p1 = clip_to_near(p2, p1);
  if (p2.z <= 0) p2 = clip_to_near(p1, p2);
  draw_line_or(frame, project_point(p1), project_point(p2), depth_colour(p1.z, p2.z));
}

void lattice_init() {
  grain_build();
  build_points();
  build_edges();
  fx_build_decay(lattice_decay, 56);
  fx_build_divide(lattice_blur_div);
  lattice_spin = 0;
  lattice_turn = 0;
  lattice_drift_x = 0;
  lattice_drift_z = 0;
  lattice_reverse = 0;
  grain_index = 0;
  grain_phase = 0;
}

void lattice_draw(uint8_t* frame) {
  fx_frame = frame;
  fx_first_pass(lattice_palette);
  fx_decay(frame, lattice_decay);
  transform_points();
  for (const LatticeEdge& edge : lattice_edges) {
    lattice_draw_edge(frame, lattice_view[edge.first], lattice_view[edge.second]);
  }
  if (beat_pulse == 1) {
    grain_index = grain_face_frame;
    grain_phase = 0;
    beat_pulse = 0;
  }
  fx_or_frame(frame, grain_frames[grain_index]);
  fx_clear_row(frame, 0, 0, screen_width);
  fx_clear_row(frame, screen_height - 1, 0, screen_width);
  fx_smooth(frame, lattice_blur_div);
}

void lattice_update(double) {
  for (uint32_t t = 0; t < tick_count; ++t) {
    fx_grain_tick(grain_index, grain_phase);
    lattice_drift_z = (lattice_drift_z - drift_step) & 511;
    if (lattice_reverse == 1) lattice_drift_x = (lattice_drift_x + drift_step) & 511;
    lattice_spin = (lattice_spin + 1) & 1023;
    lattice_turn = (lattice_reverse == 0 ? lattice_turn + 1 : lattice_turn - 1) & 1023;
  }
  tick_count = 0;
}

void on_direction_toggle() { lattice_reverse ^= 1; }

LatticeProbe lattice_probe() {
  return {lattice_points,  lattice_view,    lattice_edges,   lattice_spin, lattice_turn,
          lattice_drift_x, lattice_drift_z, lattice_reverse, grain_index,  grain_phase};
}
