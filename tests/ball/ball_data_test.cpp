#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <utility>
#include <vector>

#include "scenes/ball/ball.h"
#include "scenes/ball/ball_steps.h"
#include "tools/datagen/ball_data_gen.h"

namespace {

uint32_t read16(int at) { return ball_mesh[at] | ball_mesh[at + 1] << 8; }
uint32_t read32(int at) { return read16(at) | read16(at + 2) << 16; }

struct StoredMesh {
  std::vector<ball_vector> vertices;
  std::vector<ball_face> faces;
};

StoredMesh stored_mesh() {
  StoredMesh m;
  for (uint32_t i = 0; i < read16(0); ++i) {
    const int at = static_cast<int>(read32(2) + 6 * i);
    m.vertices.push_back({static_cast<int16_t>(read16(at)), static_cast<int16_t>(read16(at + 2)),
                          static_cast<int16_t>(read16(at + 4))});
  }
  for (uint32_t f = 0; f < read16(6); ++f) {
    const int at = static_cast<int>(read32(8) + 6 * f);
    m.faces.push_back({read16(at), read16(at + 2), read16(at + 4)});
  }
  return m;
}

TEST(BallMesh, HeaderCountsAndSize) {
  EXPECT_EQ(sizeof ball_mesh, 8592u);
  EXPECT_EQ(read16(0), 478u);
  EXPECT_EQ(read32(2), 12u);
  EXPECT_EQ(read16(6), 952u);
  EXPECT_EQ(read32(8), 2880u);
  EXPECT_EQ(12 + 6 * 478 + 6 * 952, 8592);
}

TEST(BallMesh, CoordinatesAndRadii) {
  const StoredMesh m = stored_mesh();
  double nearest = 1e9, farthest = 0;
  for (const ball_vector& v : m.vertices) {
    for (int32_t c : {v.x, v.y, v.z}) {
      EXPECT_GE(c, -238);
      EXPECT_LE(c, 236);
    }
    const double r = std::sqrt(double{1} * v.x * v.x + double{1} * v.y * v.y + double{1} * v.z * v.z);
    nearest = std::min(nearest, r);
    farthest = std::max(farthest, r);
  }
  EXPECT_NEAR(nearest, 100, 3) << "a ball of radius about 100";
  EXPECT_NEAR(farthest, 335, 5) << "spikes out to about 335";
}

TEST(BallMesh, ClosedAndConsistentlyWound) {
  const StoredMesh m = stored_mesh();
  std::map<std::pair<uint32_t, uint32_t>, int> edges;
  for (const ball_face& f : m.faces) {
    const uint32_t v[3] = {f.p, f.q, f.r};
    for (int e = 0; e < 3; ++e) {
      ASSERT_LT(v[e], m.vertices.size());
      ++edges[{v[e], v[(e + 1) % 3]}];
    }
  }
  for (const auto& [edge, count] : edges) {
    EXPECT_EQ(count, 1) << edge.first << "->" << edge.second;
    const auto opposite = edges.find({edge.second, edge.first});
    ASSERT_NE(opposite, edges.end()) << "open edge " << edge.first << "->" << edge.second;
    EXPECT_EQ(opposite->second, 1);
  }
  // A closed surface of genus 0: V - E + F = 2.
  EXPECT_EQ(static_cast<int>(m.vertices.size()) - static_cast<int>(edges.size() / 2) +
                static_cast<int>(m.faces.size()),
            2);
}

TEST(BallMesh, WoundOutwardSoTheStoredNormalsPointInward) {
  const StoredMesh m = stored_mesh();
  int64_t volume6 = 0;
  int pointing_in = 0;
  for (const ball_face& f : m.faces) {
    const ball_vector& p = m.vertices[f.p];
    const ball_vector& q = m.vertices[f.q];
    const ball_vector& r = m.vertices[f.r];
    volume6 += int64_t{p.x} * (int64_t{q.y} * r.z - int64_t{q.z} * r.y) +
               int64_t{p.y} * (int64_t{q.z} * r.x - int64_t{q.x} * r.z) +
               int64_t{p.z} * (int64_t{q.x} * r.y - int64_t{q.y} * r.x);
    // Ball faces: the normal points back towards the centre.
    const ball_vector n = ball_face_normal(p, q, r);
    const int64_t c2 = int64_t{p.x} * p.x + int64_t{p.y} * p.y + int64_t{p.z} * p.z;
    if (c2 < 110 * 110) pointing_in += (int64_t{n.x} * p.x + int64_t{n.y} * p.y + int64_t{n.z} * p.z) < 0;
  }
  EXPECT_GT(volume6, 0);
  EXPECT_GT(pointing_in, 400);
}

TEST(BallMesh, EveryFaceHasAreaAndAUnitNormalWithin32Bits) {
  const StoredMesh m = stored_mesh();
  for (const ball_face& f : m.faces) {
    const ball_vector& p = m.vertices[f.p];
    const ball_vector& q = m.vertices[f.q];
    const ball_vector& r = m.vertices[f.r];
    const int64_t ax = p.x - r.x, ay = p.y - r.y, az = p.z - r.z;
    const int64_t bx = p.x - q.x, by = p.y - q.y, bz = p.z - q.z;
    const int64_t nx = ay * bz - az * by, ny = az * bx - ax * bz, nz = ax * by - ay * bx;
    const int64_t length2 = nx * nx + ny * ny + nz * nz;
    EXPECT_GT(length2, 0);
    EXPECT_LE(length2, INT32_MAX) << "the squared length is summed in 32 bits";
    const ball_vector n = ball_face_normal(p, q, r);
    const double l = std::sqrt(double{1} * n.x * n.x + double{1} * n.y * n.y + double{1} * n.z * n.z);
    EXPECT_NEAR(l, 256.0, 1.5);
  }
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
      {0, {0, 0, 0}},       {1, {0, 0, 0}},       {2, {0, 0, 0}},       {3, {0, 0, 0}},
      {4, {0, 0, 0}},       {32, {0, 7, 2}},      {64, {0, 16, 6}},     {128, {0, 33, 14}},
      {160, {2, 36, 23}},   {192, {7, 40, 32}},   {224, {12, 44, 41}},  {240, {15, 46, 45}},
      {241, {17, 47, 46}},  {248, {37, 55, 54}},  {254, {58, 61, 61}},  {255, {63, 63, 63}},
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
