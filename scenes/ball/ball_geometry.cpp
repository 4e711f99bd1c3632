// The ball's geometry: face normals, the tumbling matrix, projection and the depth order.
#include <cmath>

#include "scenes/ball/ball_steps.h"
#include "scenes/common/depth_sort.h"
#include "scenes/common/fx.h"

Vec3 ball_face_normal(const Vec3& p, const Vec3& q, const Vec3& r) {
  // 64-bit so that no stored mesh can overflow; for the ball's faces the sum fits 32 bits.
  const int64_t ax = p.x - r.x, ay = p.y - r.y, az = p.z - r.z;
  const int64_t bx = p.x - q.x, by = p.y - q.y, bz = p.z - q.z;
  const int64_t nx = ay * bz - az * by;
  const int64_t ny = az * bx - ax * bz;
  const int64_t nz = ax * by - ay * bx;
  const int64_t length2 = nx * nx + ny * ny + nz * nz;
  if (length2 == 0) return {0, 0, 0};  // a face of zero area has no direction
  const float length = static_cast<float>(std::sqrt(static_cast<double>(length2)));
  auto scaled = [length](int64_t c) {
    return static_cast<int32_t>(std::lrint(static_cast<double>(c) * 256.0 / length));
  };
  return {scaled(nx), scaled(ny), scaled(nz)};
}

Matrix3 ball_build_matrix(int32_t angle_x, int32_t angle_y, int32_t angle_z) {
  const int32_t sinx = fx_sin(angle_x), cosx = fx_cos(angle_x);
  const int32_t siny = fx_sin(angle_y), cosy = fx_cos(angle_y);
  const int32_t sinz = fx_sin(angle_z), cosz = fx_cos(angle_z);
  const int32_t sxsy = sinx * siny >> 9;
  const int32_t ncxsy = (-cosx) * siny >> 9;
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

Vec3 ball_rotate(const Matrix3& m, const Vec3& v) {
  return {
      (v.x * m.m[0][0] >> 9) + (v.y * m.m[0][1] >> 9) + (v.z * m.m[0][2] >> 9),
      (v.x * m.m[1][0] >> 9) + (v.y * m.m[1][1] >> 9) + (v.z * m.m[1][2] >> 9),
      (v.x * m.m[2][0] >> 9) + (v.y * m.m[2][1] >> 9) + (v.z * m.m[2][2] >> 9),
  };
}

Vec2 ball_project(const Vec3& view) {
  if (view.z <= 0) return {ball_unprojected, ball_unprojected};
  // 256 * X / (Z + 256) in 16.16; 64-bit only guards points far outside the ball's reach.
  const int64_t d = int64_t{view.z} * 256 + 65536;
  return {static_cast<int32_t>(int64_t{view.x} * 65536 / d) + 160,
          static_cast<int32_t>(int64_t{view.y} * 65536 / d) + 100};
}

void ball_depth_keys(const BallFace* faces, int32_t face_count, const Vec3* view,
                     uint32_t* keys) {
  for (int32_t f = 0; f < face_count; ++f) {
    const int32_t sum = view[faces[f].p].z + view[faces[f].q].z + view[faces[f].r].z;
    keys[f] = (static_cast<uint32_t>(sum) & 65535u) << 16 | static_cast<uint32_t>(f);
  }
}

void ball_radix_sort(uint32_t* keys, uint32_t* partner, int32_t count) {
  depth_sort(keys, partner, count);
}
