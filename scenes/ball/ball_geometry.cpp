// The ball's geometry: face normals and the depth keys.
#include <cmath>

#include "scenes/ball/ball_steps.h"

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

void ball_depth_keys(const BallFace* faces, int32_t face_count, const Vec3* view, uint32_t* keys) {
  for (int32_t f = 0; f < face_count; ++f) {
    const int32_t sum = view[faces[f].p].z + view[faces[f].q].z + view[faces[f].r].z;
    keys[f] = (static_cast<uint32_t>(sum) & 65535u) << 16 | static_cast<uint32_t>(f);
  }
}
