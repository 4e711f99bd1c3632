#pragma once
// The steps of the ball's pass as plain routines over arrays, so that the scene, its tests and
// its benchmarks share them.
#include <cstdint>

#include "scenes/ball/ball.h"

constexpr int32_t ball_capacity = 1300;      // working arrays hold this many vertices and faces
constexpr int32_t ball_unprojected = 65535;  // screen x and y of a vertex behind the viewer
constexpr int32_t ball_brightest = 250;

struct ball_vector {
  int32_t x, y, z;
};
struct ball_face {
  uint32_t p, q, r;  // vertex indices
};
struct ball_point {
  int32_t x, y;
};
struct ball_matrix {
  int32_t m[3][3];  // 512 = 1.0
};

// Unit normal scaled to 256 of (P - R) x (P - Q): it points into an object wound
// counter-clockwise from outside. (0, 0, 0) for a face of zero area.
ball_vector ball_face_normal(const ball_vector& p, const ball_vector& q, const ball_vector& r);

// Rotation about x, y and z from the sine table, combined with a mirroring of y (determinant -1).
ball_matrix ball_build_matrix(int32_t angle_x, int32_t angle_y, int32_t angle_z);
// Matrix times vector, each product shifted back by 9 on its own.
ball_vector ball_rotate(const ball_matrix& m, const ball_vector& v);
// Perspective onto the screen, centre (160, 100), focal distance 256; (65535, 65535) when the
// point is not in front of the viewer (Z <= 0).
ball_point ball_project(const ball_vector& view);

// One key per face: the depth sum of its three vertices in the high 16 bits, its index in the low.
void ball_depth_keys(const ball_face* faces, int32_t face_count, const ball_vector* view,
                     uint32_t* keys);
// Orders keys by their high 16 bits, largest first, stable (depth_sort, through partner); the
// result ends in keys.
void ball_radix_sort(uint32_t* keys, uint32_t* partner, int32_t count);

// Colour of a face whose rotated normal has this z, or -1 when the face looks away.
inline int32_t ball_face_colour(int32_t normal_z) {
  if (normal_z < 0) return -1;
  return normal_z > ball_brightest ? ball_brightest : normal_z;
}
// Fills the faces in key order (later ones over earlier ones), leaving out faces that look away
// and faces with a vertex behind the viewer.
void ball_paint_faces(const uint32_t* sorted_keys, int32_t count, const ball_face* faces,
                      const ball_vector* view_normals, const ball_point* screen, uint8_t* frame);

// The scene's motion and grain state, for tests: a copy of it, and a return to the start.
struct ball_motion {
  int32_t angle_x, angle_y, angle_z;
  int32_t shift_x, shift_y, depth;
  int32_t grain_index;
  uint16_t grain_phase;
};
ball_motion ball_motion_now();
void ball_motion_reset();
