// The sphere's model, palette, shade table and texture coordinates.
#include "scenes/sphere/sphere.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <tuple>
#include <vector>

#include "scenes/common/depth_sort.h"
#include "scenes/common/fx.h"
#include "scenes/sphere/sphere_mesh.h"
#include "scenes/swirl/swirl.h"
#include "tests/sphere/sphere_start.h"

namespace {

int read16(int offset) { return static_cast<int16_t>(sphere_model[offset] | sphere_model[offset + 1] << 8); }
int read_u16(int offset) { return read16(offset) & 0xFFFF; }

}  // namespace

TEST(SphereModel, FollowsTheLatitudeLongitudeRule) {
  EXPECT_EQ(read_u16(0), 266);
  EXPECT_EQ(read_u16(2) | read_u16(4) << 16, 12);
  EXPECT_EQ(read_u16(6), 528);
  EXPECT_EQ(read_u16(8) | read_u16(10) << 16, 1608);
  const auto vertex = [](int i, int k) { return read16(12 + 6 * i + 2 * k); };
  EXPECT_EQ(vertex(0, 0), 0);
  EXPECT_EQ(vertex(0, 1), -192);
  EXPECT_EQ(vertex(265, 1), 192);
  const double degree = M_PI / 180;
  for (int r = 1; r <= 11; ++r) {
    for (int s = 0; s < 24; ++s) {
      const int i = 1 + 24 * (r - 1) + s;
      const double ring = 192 * std::sin(15 * r * degree);
      const double azimuth = (-28 + 15 * s) * degree;
      EXPECT_NEAR(vertex(i, 0), ring * std::cos(azimuth), 1.0) << i;
      EXPECT_NEAR(vertex(i, 1), -192 * std::cos(15 * r * degree), 1.0) << i;
      EXPECT_NEAR(vertex(i, 2), ring * std::sin(azimuth), 1.0) << i;
    }
  }
  std::vector<int> faces;
  for (int k = 1; k <= 23; ++k) faces.insert(faces.end(), {0, k, k + 1});
  faces.insert(faces.end(), {0, 24, 1});
  for (int r = 0; r <= 9; ++r) {
    for (int s = 0; s < 24; ++s) {
      const int p = 1 + 24 * r + s, q = p + 24;
      const int pn = 1 + 24 * r + (s + 1) % 24, qn = pn + 24;
      faces.insert(faces.end(), {p, q, qn, p, qn, pn});
    }
  }
  for (int k = 264; k >= 242; --k) faces.insert(faces.end(), {265, k, k - 1});
  faces.insert(faces.end(), {265, 241, 264});
  ASSERT_EQ(faces.size(), 528u * 3);
  for (size_t i = 0; i < faces.size(); ++i) ASSERT_EQ(read_u16(1608 + 2 * i), faces[i]) << i;
}

TEST(SphereModel, PaletteIsOneRampThroughItsAnchors) {
  const auto line = [](int i, int k) {
    const double blue[3] = {21, 41, 47};
    return i <= 208 ? blue[k] * i / 208 : blue[k] + (63 - blue[k]) * (i - 208) / 47;
  };
  for (int i = 0; i < 256; ++i) {
    for (int k = 0; k < 3; ++k) {
      EXPECT_NEAR(sphere_palette[3 * i + k], line(i, k), 3.0) << i;
      if (i <= 4) {
        EXPECT_EQ(sphere_palette[3 * i + k], 0) << i;
      }
    }
  }
  EXPECT_EQ(sphere_palette[3 * 208 + 2], 47);
  EXPECT_EQ(sphere_palette[3 * 255], 63);
}

TEST(SphereInit, ShadeTableTakesTheLowestNearestColour) {
  start_sphere_once();
  for (int n = 0; n < 256; ++n) EXPECT_EQ(sphere_shade_table[n], 0) << "level 0 is black";
  for (int level : {1, 20, 40, 63}) {
    for (int n = 0; n < 256; n += 5) {
      int dark[3];
      for (int k = 0; k < 3; ++k) dark[k] = sphere_palette[3 * n + k] * level / 64;
      const auto distance = [&](int i) {
        return std::abs(sphere_palette[3 * i] - dark[0]) + std::abs(sphere_palette[3 * i + 1] - dark[1]) +
               std::abs(sphere_palette[3 * i + 2] - dark[2]);
      };
      const int chosen = sphere_shade_table[level * 256 + n];
      for (int i = 0; i < 256; ++i) {
        ASSERT_TRUE(distance(i) > distance(chosen) || (distance(i) == distance(chosen) && i >= chosen))
            << "level " << level << " colour " << n << " index " << i;
      }
    }
  }
  EXPECT_LT(sphere_shade_table[63 * 256 + 255], 255) << "no row reaches full brightness";
}

TEST(SphereInit, TextureCoordinatesRunRoundEachRing) {
  start_sphere_once();
  const int ring_u[24] = {0,   21,  42,  63,  85,  106, 127, 149, 170, 191, 213, 234,
                          213, 191, 170, 149, 127, 106, 85,  63,  42,  21,  0,   -22};
  const int ring_v[11] = {19, 39, 59, 78, 98, 118, 137, 157, 177, 196, 216};
  for (int r = 1; r <= 11; ++r) {
    for (int s = 0; s < 24; ++s) {
      EXPECT_EQ(sphere_uv[1 + 24 * (r - 1) + s][0], ring_u[s]) << r << "," << s;
      EXPECT_EQ(sphere_uv[1 + 24 * (r - 1) + s][1], ring_v[r - 1]) << r << "," << s;
    }
  }
  EXPECT_EQ(sphere_uv[0][0], 0);
  EXPECT_EQ(sphere_uv[0][1], 0);
  EXPECT_EQ(sphere_uv[265][0], 0);
  EXPECT_EQ(sphere_uv[265][1], 256);
}

TEST(SphereInit, NormalsPointIntoTheSphereWithLength256) {
  start_sphere_once();
  ASSERT_EQ(sphere_vertex_count, 266);
  ASSERT_EQ(sphere_face_count, 528);
  for (int v = 0; v < sphere_vertex_count; ++v) {
    const Vec3& n = sphere_vertex_normals[v];
    const Vec3& p = sphere_vertices[v];
    EXPECT_NEAR(std::sqrt(double(n.x) * n.x + double(n.y) * n.y + double(n.z) * n.z), 256, 1.5);
    // Nearly opposite to the position: the inward normal of a sphere.
    EXPECT_LT(n.x * p.x + n.y * p.y + n.z * p.z, -256 * 192 * 95 / 100) << v;
  }
  EXPECT_EQ(sphere_vertex_normals[0].x, 0);
  EXPECT_EQ(sphere_vertex_normals[0].y, 256);
  EXPECT_EQ(sphere_vertex_normals[0].z, 0);
}

TEST(SpherePass, TiltZeroStillTiltsThroughSineEntryThree) {
  ASSERT_EQ(fx_sin(0), 3);
  const Matrix3 m = fx_matrix(0, 0, 0);
  const int expected[3][3] = {{512, 3, 3}, {3, -512, -3}, {-3, -4, 512}};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) EXPECT_EQ(m.m[i][j], expected[i][j]) << i << "," << j;
}

TEST(SpherePass, MatrixNegatesM12AfterItsShiftAndM20M21Before) {
  // cos(300) = -140: 3 * -140 >> 9 is -1, so m12 = 1 (a negation first would give 0).
  ASSERT_EQ(fx_cos(300), -140);
  EXPECT_EQ(fx_matrix(0, 300, 0).m[1][2], 1);
  // With a tilt the products of -cos1 are inexact, and the early negation shows.
  const Matrix3 m = fx_matrix(100, 300, 700);
  const int c1s2 = (-fx_cos(100) * fx_sin(300)) >> 9;
  EXPECT_NE(c1s2, -((fx_cos(100) * fx_sin(300)) >> 9));
  EXPECT_EQ(m.m[2][0], ((c1s2 * fx_cos(700)) >> 9) + ((fx_sin(100) * fx_sin(700)) >> 9));
  EXPECT_EQ(m.m[2][1], ((c1s2 * fx_sin(700)) >> 9) - ((fx_sin(100) * fx_cos(700)) >> 9));
}

TEST(SpherePass, ProjectionCentresVerticesAtOrBehindTheEye) {
  EXPECT_EQ(fx_project({500, -400, 0}, {160, 100}).x, 160);
  EXPECT_EQ(fx_project({500, -400, 0}, {160, 100}).y, 100);
  EXPECT_EQ(fx_project({-7, 9, -300}, {160, 100}).x, 160);
  EXPECT_EQ(fx_project({-7, 9, -300}, {160, 100}).y, 100);
  EXPECT_EQ(fx_project({100, -50, 256}, {160, 100}).x, 210);
  EXPECT_EQ(fx_project({100, -50, 256}, {160, 100}).y, 75);
  // -1.5 truncates towards zero.
  EXPECT_EQ(fx_project({-3, 3, 256}, {160, 100}).x, 159);
  EXPECT_EQ(fx_project({-3, 3, 256}, {160, 100}).y, 101);
}

TEST(SpherePass, LightLevelsAreClampedTo0To63) {
  EXPECT_EQ(sphere_vertex_light({0, 0, 256}, 0, 0), 63);
  EXPECT_EQ(sphere_vertex_light({0, 0, -256}, 0, 0), 0);
  EXPECT_EQ(sphere_vertex_light({256, 0, 256}, 128, 0), 63);
  EXPECT_EQ(sphere_vertex_light({0, 100, 10}, -128, 0), 2);  // 2550 >> 10
}

TEST(SpherePass, DepthSortIsFarthestFirstAndStable) {
  // Depth sums in the high half, face numbers in the low half.
  uint32_t keys[8];
  const uint32_t depth[8] = {500, 700, 500, 0xFFFF, 100, 500, 700, 0};
  for (uint32_t f = 0; f < 8; ++f) keys[f] = depth[f] << 16 | f;
  uint32_t spare[8];
  depth_sort(keys, spare, 8);
  const uint32_t order[8] = {3, 1, 6, 0, 2, 5, 4, 7};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(keys[i] & 0xFFFF, order[i]) << i;
}

TEST(SphereMotionTest, AdvancesEveryStepPerTickWithDerivedValuesLagging) {
  const SphereMotion saved = sphere_motion;
  const uint32_t saved_ticks = tick_count;
  sphere_motion = SphereMotion{};
  tick_count = 0;
  sphere_advance();
  const SphereMotion& m = sphere_motion;
  EXPECT_EQ(m.turn_angle | m.roll_angle | m.phase_d | m.phase_e | m.wobble_phase | m.sphere_grain_phase | m.light_x |
                m.light_y | m.drift_x | m.drift_y,
            0)
      << "no ticks, no change";
  tick_count = 4;
  sphere_advance();
  EXPECT_EQ(tick_count, 4u) << "sphere_advance leaves tick_count";
  EXPECT_EQ(std::tuple(m.tilt_angle, m.turn_angle, m.roll_angle, m.phase_d, m.phase_e, m.wobble_phase),
            std::tuple(0, 4, 1020, 8, 12, 20));
  // From the angles before the fourth step.
  EXPECT_EQ(sphere_motion.light_x, fx_sin(6) >> 2);
  EXPECT_EQ(sphere_motion.light_y, fx_sin(9) >> 2);
  EXPECT_EQ(sphere_motion.drift_x, fx_sin(3) >> 2);
  EXPECT_EQ(sphere_motion.drift_y, fx_sin(6) >> 2);
  sphere_update(0.0);
  EXPECT_EQ(tick_count, 0u);
  EXPECT_EQ(sphere_motion.turn_angle, 8);
  sphere_motion = saved;
  tick_count = saved_ticks;
}

TEST(SphereMotionTest, GrainFrameAdvancesEveryFourthTickAndCycles) {
  const SphereMotion saved = sphere_motion;
  sphere_motion = SphereMotion{};
  tick_count = 1;
  std::vector<int> seen;
  for (int tick = 1; tick <= 25; ++tick) {
    sphere_advance();
    seen.push_back(sphere_motion.sphere_grain_index);
  }
  const std::vector<int> expected = {0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0, 0};
  EXPECT_EQ(seen, expected);
  sphere_motion = saved;
  tick_count = 0;
}

TEST(SphereScene, FirstPassRequestsThePaletteAndDrawsTheFullPicture) {
  start_sphere_once();
  std::vector<uint8_t> frame(64000, 200);
  scene_first_frame = 0;
  fade_pending = 0;
  sphere_draw(frame.data());
  EXPECT_EQ(scene_first_frame, 1);
  EXPECT_EQ(fade_pending, 1);
  EXPECT_EQ(fade_target, sphere_palette);
  EXPECT_EQ(fx_frame, frame.data());
  // The face shows in a corner, the textured sphere in the middle, row 0 and 199 cleared inside.
  int middle = 0;
  for (int y = 80; y < 120; ++y)
    for (int x = 140; x < 180; ++x) middle += frame[y * 320 + x];
  EXPECT_GT(middle / 1600, 80);
  const uint8_t* grain = grain_frames[sphere_motion.sphere_grain_index];
  const uint8_t* face = grain_frames[grain_face_frame];
  for (int x = 0; x < 320; ++x) {
    for (int row : {0, 199}) {
      const int p = row * 320 + x;
      if (x >= 32 && x < 288) {
        EXPECT_EQ(frame[p], 0) << p;
      } else {
        EXPECT_EQ(frame[p], face[p] | grain[p]) << p;
      }
    }
  }
}

TEST(SphereScene, OnBlackDrawsOnlyTheSphere) {
  start_sphere_once();
  std::vector<uint8_t> frame(64000, 200);
  fx_frame = frame.data();
  scene_first_frame = 1;
  fade_pending = 0;
  sphere_draw_on_black();
  EXPECT_EQ(fade_pending, 0) << "no palette request";
  EXPECT_EQ(frame[320 * 5 + 5], 0);
  EXPECT_EQ(frame[320 * 195 + 315], 0);
  EXPECT_GT(frame[320 * 100 + 160], 0);
  for (int x = 0; x < 320; ++x) EXPECT_EQ(frame[x], 0);
}
