// The steps of the ball's pass as plain routines over arrays, so that the scene, its tests and
// its benchmarks share them.
#pragma once
#include <cstdint>

#include "scenes/ball/ball.h"
#include "scenes/common/fixed3d.h"

constexpr int32_t ball_capacity = 1300;      // working arrays hold this many vertices and faces
constexpr int32_t ball_unprojected = 65535;  // screen x and y of a vertex behind the viewer
constexpr int32_t ball_brightest = 250;

struct BallFace {
  uint32_t p, q, r;  // vertex indices
};

// Unit normal scaled to 256 of (P - R) x (P - Q): it points into an object wound
// counter-clockwise from outside. (0, 0, 0) for a face of zero area.
Vec3 ball_face_normal(const Vec3& p, const Vec3& q, const Vec3& r);

// The perspective of fx_project; (65535, 65535) marks a point not in front of the viewer.
inline Vec2 ball_project(const Vec3& view) { return fx_project(view, {ball_unprojected, ball_unprojected}); }

// One key per face: the depth sum of its three vertices in the high 16 bits, its index in the low.
void ball_depth_keys(const BallFace* faces, int32_t face_count, const Vec3* view, uint32_t* keys);

// Colour of a face whose rotated normal has this z, or -1 when the face looks away.
inline int32_t ball_face_colour(int32_t normal_z) {
  if (normal_z < 0) return -1;
  return normal_z > ball_brightest ? ball_brightest : normal_z;
}
// Fills the faces in key order (later ones over earlier ones), leaving out faces that look away
// and faces with a vertex behind the viewer.
void ball_paint_faces(const uint32_t* sorted_keys, int32_t count, const BallFace* faces, const Vec3* view_normals,
                      const Vec2* screen, uint8_t* frame);

// The scene's motion and grain state, for tests: a copy of it, and a return to the start.
struct BallProbe {
  int32_t angle_x, angle_y, angle_z;
  int32_t shift_x, shift_y, depth;
  int32_t grain_index;
  uint16_t grain_phase;
};
BallProbe ball_probe();
void ball_reset();
