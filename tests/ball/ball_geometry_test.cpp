// The ball's face normals: direction, rounding, zero area, the largest faces.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "scenes/ball/ball_steps.h"
#include "scenes/common/depth_sort.h"

namespace {

TEST(BallNormal, PointsIntoACounterClockwiseFace) {
  // Counter-clockwise seen from +z, so outward is +z and the normal points to -z.
  const Vec3 n = ball_face_normal({0, 0, 0}, {10, 0, 0}, {0, 10, 0});
  EXPECT_EQ(n.x, 0);
  EXPECT_EQ(n.y, 0);
  EXPECT_EQ(n.z, -256);
}

TEST(BallNormal, ComponentsAreRoundedToNearest) {
  // (P - R) x (P - Q) = (1, 2, 2): 256/3 and 512/3 round to 85 and 171.
  const Vec3 n = ball_face_normal({0, 0, 0}, {0, 1, -1}, {2, -1, 0});
  EXPECT_EQ(n.x, 85);
  EXPECT_EQ(n.y, 171);
  EXPECT_EQ(n.z, 171);
  const Vec3 m = ball_face_normal({7, 7, 7}, {7, 8, 6}, {9, 6, 7});  // moved: the same
  EXPECT_EQ(m.x, 85);
  EXPECT_EQ(m.y, 171);
  EXPECT_EQ(m.z, 171);
}

TEST(BallNormal, ZeroAreaGivesZeroNormal) {
  const Vec3 coincident = ball_face_normal({5, 5, 5}, {5, 5, 5}, {9, 1, 3});
  EXPECT_EQ(coincident.x, 0);
  EXPECT_EQ(coincident.y, 0);
  EXPECT_EQ(coincident.z, 0);
  const Vec3 collinear = ball_face_normal({0, 0, 0}, {1, 2, 3}, {2, 4, 6});
  EXPECT_EQ(collinear.x, 0);
  EXPECT_EQ(collinear.y, 0);
  EXPECT_EQ(collinear.z, 0);
}

TEST(BallNormal, LargestFacesOfTheCoordinateRangeStayUnitLength) {
  // Its squared length passes 32 bits; the normal must still come out at length 256.
  const Vec3 n = ball_face_normal({-238, -238, -238}, {236, -238, 236}, {236, 236, -238});
  const double length = std::sqrt(double{1} * n.x * n.x + double{1} * n.y * n.y + double{1} * n.z * n.z);
  EXPECT_NEAR(length, 256.0, 1.0);
}

TEST(BallMatrix, AtRestEachProductIsShiftedOnItsOwn) {
  // The sine table runs one step ahead: at angle 0, sin = 3 and cos = 512.
  const Matrix3 m = fx_matrix(0, 0, 0);
  const int32_t expected[3][3] = {{512, 3, 3}, {3, -512, -3}, {-3, -4, 512}};
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) EXPECT_EQ(m.m[r][c], expected[r][c]) << r << "," << c;
}

TEST(BallMatrix, IsAMirroredRotationAtEveryAngle) {
  for (int32_t ax = 0; ax < 1024; ax += 37) {
    for (int32_t ay = 0; ay < 1024; ay += 41) {
      const Matrix3 m = fx_matrix(ax, ay, 0);
      double a[3][3];
      for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) a[r][c] = m.m[r][c] / 512.0;
      const double det = a[0][0] * (a[1][1] * a[2][2] - a[1][2] * a[2][1]) -
                         a[0][1] * (a[1][0] * a[2][2] - a[1][2] * a[2][0]) +
                         a[0][2] * (a[1][0] * a[2][1] - a[1][1] * a[2][0]);
      ASSERT_NEAR(det, -1.0, 0.03) << ax << "," << ay;
      for (int r = 0; r < 3; ++r) {
        for (int s = 0; s < 3; ++s) {
          const double d = a[r][0] * a[s][0] + a[r][1] * a[s][1] + a[r][2] * a[s][2];
          ASSERT_NEAR(d, r == s ? 1.0 : 0.0, 0.03) << ax << "," << ay;
        }
      }
    }
  }
}

TEST(BallMatrix, RotationShiftsEachProductBeforeAdding) {
  const Vec3 v = fx_rotate(fx_matrix(0, 0, 0), {1, 1, 1});
  EXPECT_EQ(v.x, 1);   // 1 + 0 + 0
  EXPECT_EQ(v.y, -2);  // 0 - 1 - 1, not (3 - 512 - 3) >> 9 = -1
  EXPECT_EQ(v.z, -1);  // -1 - 1 + 1
}

TEST(BallProject, CentreFocalDistanceAndTruncation) {
  EXPECT_EQ(ball_project({0, 0, 10}).x, 160);
  EXPECT_EQ(ball_project({0, 0, 10}).y, 100);
  EXPECT_EQ(ball_project({100, -100, 256}).x, 210);
  EXPECT_EQ(ball_project({100, -100, 256}).y, 50);
  // Z = 1: 100 * 65536 / 65792 = 99.6, truncated toward zero on both sides.
  EXPECT_EQ(ball_project({100, -100, 1}).x, 259);
  EXPECT_EQ(ball_project({100, -100, 1}).y, 1);
}

TEST(BallProject, PointsNotInFrontAreMarked) {
  for (int32_t z : {0, -1, -300}) {
    const Vec2 p = ball_project({10, 10, z});
    EXPECT_EQ(p.x, 65535) << z;
    EXPECT_EQ(p.y, 65535) << z;
  }
}

TEST(BallDepthKeys, SumInHighHalfFaceInLowHalf) {
  const BallFace faces[2] = {{0, 1, 2}, {2, 1, 0}};
  const Vec3 view[3] = {{0, 0, 100}, {0, 0, 200}, {0, 0, -5}};
  uint32_t keys[2];
  ball_depth_keys(faces, 2, view, keys);
  EXPECT_EQ(keys[0], (295u << 16) | 0);
  EXPECT_EQ(keys[1], (295u << 16) | 1);
  const Vec3 behind[3] = {{0, 0, -5}, {0, 0, -5}, {0, 0, -5}};
  ball_depth_keys(faces, 1, behind, keys);
  EXPECT_EQ(keys[0], 65521u << 16) << "a negative sum keeps its low 16 bits";
}

// A small generator of test keys, the same on every run.
std::vector<uint32_t> test_keys(int count, uint32_t depth_mask) {
  std::vector<uint32_t> keys;
  uint32_t seed = 12345;
  for (int f = 0; f < count; ++f) {
    seed = seed * 1664525u + 1013904223u;
    keys.push_back(((seed >> 8) & depth_mask) << 16 | static_cast<uint32_t>(f));
  }
  return keys;
}

TEST(BallRadixSort, LargestFirstAndStable) {
  for (uint32_t mask : {0xffffu, 0x00ffu, 0x0003u, 0x8001u}) {
    std::vector<uint32_t> keys = test_keys(1300, mask), partner(1300);
    std::vector<uint32_t> expected = keys;
    std::stable_sort(expected.begin(), expected.end(), [](uint32_t a, uint32_t b) { return (a >> 16) > (b >> 16); });
    depth_sort(keys.data(), partner.data(), 1300);
    EXPECT_EQ(keys, expected) << std::hex << mask;
  }
}

TEST(BallRadixSort, TinyCounts) {
  uint32_t one = 0x12340007, partner = 0;
  depth_sort(&one, &partner, 1);
  EXPECT_EQ(one, 0x12340007u);
  depth_sort(&one, &partner, 0);
  EXPECT_EQ(one, 0x12340007u);
  // Low halves play no part: a key with a smaller index but equal depth stays in place.
  uint32_t two[2] = {0x00010005, 0x00010002}, spare[2];
  depth_sort(two, spare, 2);
  EXPECT_EQ(two[0], 0x00010005u);
  EXPECT_EQ(two[1], 0x00010002u);
}

}  // namespace
