// The scenes' integer geometry: points, rotations through the sine table (512 = 1.0, every
// product shifted back by 9 on its own before it is added) and the perspective onto the screen.
#pragma once
#include <cstdint>

#include "scenes/common/fx.h"

struct Vec2 {
  int32_t x, y;
  friend bool operator==(Vec2, Vec2) = default;
};
struct Vec3 {
  int32_t x, y, z;
  friend bool operator==(Vec3, Vec3) = default;
};
// The point the scenes turn and project about.
constexpr Vec2 screen_centre = {160, 100};

// Row i gives view coordinate i.
struct Matrix3 {
  int32_t m[3][3];
};

// Rotation about x, y and z combined with a mirroring of y (determinant -1). -cos x is negated
// before its products are shifted, sin x cos y after: the order shows in the low bits.
inline Matrix3 fx_matrix(int32_t angle_x, int32_t angle_y, int32_t angle_z) {
  const int32_t sinx = fx_sin(angle_x), cosx = fx_cos(angle_x);
  const int32_t siny = fx_sin(angle_y), cosy = fx_cos(angle_y);
  const int32_t sinz = fx_sin(angle_z), cosz = fx_cos(angle_z);
  const int32_t sxsy = sinx * siny >> 9;
  const int32_t ncxsy = -cosx * siny >> 9;
  Matrix3 m;
  m.m[0][0] = cosy * cosz >> 9;
  m.m[0][1] = cosy * sinz >> 9;
  m.m[0][2] = siny;
  m.m[1][0] = (sxsy * cosz >> 9) + (cosx * sinz >> 9);
  m.m[1][1] = (sxsy * sinz >> 9) - (cosx * cosz >> 9);
  m.m[1][2] = -(sinx * cosy >> 9);
  m.m[2][0] = (ncxsy * cosz >> 9) + (sinx * sinz >> 9);
  m.m[2][1] = (ncxsy * sinz >> 9) - (sinx * cosz >> 9);
  m.m[2][2] = cosx * cosy >> 9;
  return m;
}

inline Vec3 fx_rotate(const Matrix3& m, const Vec3& v) {
  return {(v.x * m.m[0][0] >> 9) + (v.y * m.m[0][1] >> 9) + (v.z * m.m[0][2] >> 9),
          (v.x * m.m[1][0] >> 9) + (v.y * m.m[1][1] >> 9) + (v.z * m.m[1][2] >> 9),
          (v.x * m.m[2][0] >> 9) + (v.y * m.m[2][1] >> 9) + (v.z * m.m[2][2] >> 9)};
}

// Turn in the plane by angle: (x cos - y sin, x sin + y cos).
inline Vec2 fx_rotate_2d(Vec2 p, uint32_t angle) {
  const int32_t sine = fx_sin(angle), cosine = fx_cos(angle);
  return {(p.x * cosine >> 9) - (p.y * sine >> 9), (p.x * sine >> 9) + (p.y * cosine >> 9)};
}

// 256 x / (z + 256) about the screen centre, truncated towards zero in 16.16; behind is the
// result for a point not in front of the viewer (z <= 0). 64-bit, so no 32-bit input overflows.
inline Vec2 fx_project(const Vec3& p, Vec2 behind) {
  if (p.z <= 0) return behind;
  const int64_t depth = int64_t{p.z} * 256 + 65536;
  return {static_cast<int32_t>(screen_centre.x + int64_t{p.x} * 65536 / depth),
          static_cast<int32_t>(screen_centre.y + int64_t{p.y} * 65536 / depth)};
}
