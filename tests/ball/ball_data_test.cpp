// The ball's mesh as stored: counts, coordinate range, closed edges, volume, normals.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <map>
#include <utility>
#include <vector>

#include "scenes/ball/ball.h"
#include "scenes/ball/ball_steps.h"
#include "tools/datagen/ball/ball_data_gen.h"

namespace {

uint32_t read16(int at) { return ball_mesh[at] | ball_mesh[at + 1] << 8; }
uint32_t read32(int at) { return read16(at) | read16(at + 2) << 16; }

// The stored bytes read back in the generator's own form, for its checker.
datagen::BallMesh stored_mesh() {
  datagen::BallMesh m;
  for (uint32_t i = 0; i < read16(0); ++i) {
    const int at = static_cast<int>(read32(2) + 6 * i);
    m.vertices.push_back(
        {static_cast<int16_t>(read16(at)), static_cast<int16_t>(read16(at + 2)), static_cast<int16_t>(read16(at + 4))});
  }
  for (uint32_t f = 0; f < read16(6); ++f) {
    const int at = static_cast<int>(read32(8) + 6 * f);
    m.faces.push_back({static_cast<uint16_t>(read16(at)), static_cast<uint16_t>(read16(at + 2)),
                       static_cast<uint16_t>(read16(at + 4))});
  }
  return m;
}

Vec3 widen(const std::array<int16_t, 3>& v) { return {v[0], v[1], v[2]}; }

TEST(BallMesh, HeaderCountsAndSize) {
  EXPECT_EQ(sizeof ball_mesh, 8592u);
  EXPECT_EQ(read16(0), 478u);
  EXPECT_EQ(read32(2), 12u);
  EXPECT_EQ(read16(6), 952u);
  EXPECT_EQ(read32(8), 2880u);
}

// Counts, coordinates within -238..236, every directed edge with its opposite exactly once,
// positive signed volume, no face of zero area and squared normal lengths within 32 bits.
TEST(BallMesh, StoredMeshPassesTheGeneratorsChecks) { EXPECT_EQ(datagen::check_ball_mesh(stored_mesh()), ""); }

TEST(BallMesh, BallOfRadius100WithSpikesTo335) {
  double nearest = 1e9, farthest = 0;
  for (const auto& v : stored_mesh().vertices) {
    const double r = std::sqrt(double{1} * v[0] * v[0] + double{1} * v[1] * v[1] + double{1} * v[2] * v[2]);
    nearest = std::min(nearest, r);
    farthest = std::max(farthest, r);
  }
  EXPECT_NEAR(nearest, 100, 3);
  EXPECT_NEAR(farthest, 335, 5);
}

// With the outward winding the scene's normals point into the object, at length 256.
TEST(BallMesh, SceneNormalsPointInward) {
  const datagen::BallMesh m = stored_mesh();
  int ball_faces = 0, pointing_in = 0;
  for (const auto& f : m.faces) {
    const Vec3 p = widen(m.vertices[f[0]]);
    const Vec3 n = ball_face_normal(p, widen(m.vertices[f[1]]), widen(m.vertices[f[2]]));
    const double l = std::sqrt(double{1} * n.x * n.x + double{1} * n.y * n.y + double{1} * n.z * n.z);
    EXPECT_NEAR(l, 256.0, 1.5);
    if (int64_t{p.x} * p.x + int64_t{p.y} * p.y + int64_t{p.z} * p.z < 105 * 105) {
      ++ball_faces;
      pointing_in += int64_t{n.x} * p.x + int64_t{n.y} * p.y + int64_t{n.z} * p.z < 0;
    }
  }
  EXPECT_GT(ball_faces, 400);
  EXPECT_EQ(pointing_in, ball_faces);
}

TEST(BallMesh, GeneratorRebuildsTheStoredBytes) {
  datagen::BallMesh mesh;
  std::string error;
  ASSERT_TRUE(datagen::build_ball_mesh(&mesh, &error)) << error;
  EXPECT_EQ(datagen::check_ball_mesh(mesh), "");
  const std::vector<uint8_t> bytes = datagen::pack_ball_mesh(mesh);
  EXPECT_EQ(bytes, std::vector<uint8_t>(ball_mesh, ball_mesh + ball_mesh_size));
}

TEST(BallMesh, CheckerRejectsBrokenMeshes) {
  datagen::BallMesh mesh;
  std::string error;
  ASSERT_TRUE(datagen::build_ball_mesh(&mesh, &error)) << error;
  datagen::BallMesh flipped = mesh;
  for (auto& f : flipped.faces) std::swap(f[1], f[2]);
  EXPECT_EQ(datagen::check_ball_mesh(flipped), "winding is not outward");
  datagen::BallMesh one_flipped = mesh;
  std::swap(one_flipped.faces[10][1], one_flipped.faces[10][2]);
  EXPECT_NE(datagen::check_ball_mesh(one_flipped), "");
  datagen::BallMesh far = mesh;
  far.vertices[0][0] = 237;
  EXPECT_NE(datagen::check_ball_mesh(far), "");
}

TEST(BallPalette, AnchorsAndShape) {
  auto entry = [](int i) {
    return std::vector<int>{ball_palette[3 * i], ball_palette[3 * i + 1], ball_palette[3 * i + 2]};
  };
  const std::map<int, std::vector<int>> anchors = {
      {0, {0, 0, 0}},      {1, {0, 0, 0}},      {2, {0, 0, 0}},      {3, {0, 0, 0}},
      {4, {0, 0, 0}},      {32, {0, 7, 2}},     {64, {0, 16, 6}},    {128, {0, 33, 14}},
      {160, {2, 36, 23}},  {192, {7, 40, 32}},  {224, {12, 44, 41}}, {240, {15, 46, 45}},
      {241, {17, 47, 46}}, {248, {37, 55, 54}}, {254, {58, 61, 61}}, {255, {63, 63, 63}},
  };
  for (const auto& [i, rgb] : anchors) EXPECT_EQ(entry(i), rgb) << "entry " << i;
  for (int i = 0; i < 256; ++i) {
    const std::vector<int> c = entry(i);
    EXPECT_GE(c[1], c[2]) << "green >= blue at " << i;
    EXPECT_GE(c[2], c[0]) << "blue >= red at " << i;
    if (i <= 139) {
      EXPECT_EQ(c[0], 0) << "red at " << i;
    }
    if (i > 0) {
      const std::vector<int> b = entry(i - 1);
      for (int k = 0; k < 3; ++k) EXPECT_GE(c[k], b[k]) << "component " << k << " falls at " << i;
      // Smooth: no jumps between neighbours below the steep top.
      if (i < 241) {
        for (int k = 0; k < 3; ++k) EXPECT_LE(c[k] - b[k], 2) << "component " << k << " at " << i;
      }
    }
  }
}

}  // namespace
