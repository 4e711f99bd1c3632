// The lattice itself: tables, projection, near clipping, depth shade, passes and the grain cycle.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "scenes/common/fx.h"
#include "scenes/lattice/lattice.h"

namespace {

// lattice_init builds the grain frames, so it runs once for the whole program; the motion
// state is set back by every call anyway.
class LatticeScene : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { lattice_init(); }
  void SetUp() override {
    lattice_init();
    scene_first_frame = 1;
    beat_pulse = 0;
    tick_count = 0;
  }
  void pass(uint32_t ticks) {
    lattice_draw(frame.data());
    tick_count = ticks;
    lattice_update(ticks);
  }
  std::vector<uint8_t> frame = std::vector<uint8_t>(frame_size, 0);
};

TEST_F(LatticeScene, PointsRunXFastestThenYThenZ) {
  const LatticeProbe s = lattice_probe();
  for (int32_t i = 0; i < lattice_point_count; ++i) {
    EXPECT_EQ(s.points[i].x, -1792 + 512 * (i % 8));
    EXPECT_EQ(s.points[i].y, -1792 + 512 * (i / 8 % 8));
    EXPECT_EQ(s.points[i].z, -1792 + 512 * (i / 64));
  }
  EXPECT_EQ(s.points[511].x, 1792);
}

TEST_F(LatticeScene, EdgesAlongXThenYThenZInTableOrder) {
  const LatticeEdge* e = lattice_probe().edges;
  auto is = [](LatticeEdge edge, int32_t a, int32_t b) {
    return edge.first == a && edge.second == b;
  };
  EXPECT_TRUE(is(e[0], 0, 1));
  EXPECT_TRUE(is(e[6], 6, 7));
  EXPECT_TRUE(is(e[7], 8, 9));
  EXPECT_TRUE(is(e[447], 510, 511));
  EXPECT_TRUE(is(e[448], 0, 8));
  EXPECT_TRUE(is(e[448 + 55], 55, 63));
  EXPECT_TRUE(is(e[448 + 56], 64, 72));
  EXPECT_TRUE(is(e[895], 503, 511));
  EXPECT_TRUE(is(e[896], 0, 64));
  EXPECT_TRUE(is(e[1343], 447, 511));
  // Every edge joins two neighbours one lattice step apart.
  const Vec3* p = lattice_probe().points;
  for (int32_t i = 0; i < lattice_edge_count; ++i) {
    const Vec3 a = p[e[i].first], b = p[e[i].second];
    EXPECT_EQ(std::abs(b.x - a.x) + std::abs(b.y - a.y) + std::abs(b.z - a.z), 512) << i;
  }
}

TEST_F(LatticeScene, PaletteIsASepiaRampThroughItsAnchors) {
  using Rgb = std::array<int, 3>;
  auto entry = [](int i) {
    return Rgb{lattice_palette[3 * i], lattice_palette[3 * i + 1], lattice_palette[3 * i + 2]};
  };
  for (int i = 0; i <= 4; ++i) EXPECT_EQ(entry(i), (Rgb{0, 0, 0}));
  EXPECT_EQ(entry(32), (Rgb{6, 5, 4}));
  EXPECT_EQ(entry(64), (Rgb{14, 12, 9}));
  EXPECT_EQ(entry(128), (Rgb{29, 24, 19}));
  EXPECT_EQ(entry(192), (Rgb{44, 37, 30}));
  EXPECT_EQ(entry(224), (Rgb{53, 49, 45}));
  EXPECT_EQ(entry(254), (Rgb{62, 62, 62}));
  EXPECT_EQ(entry(255), (Rgb{63, 63, 63}));
  for (int i = 0; i < 256; ++i) {
    const Rgb c = entry(i);
    EXPECT_GE(c[0], c[1]) << i;
    EXPECT_GE(c[1], c[2]) << i;
    if (i > 0) {
      for (int k = 0; k < 3; ++k) EXPECT_GE(c[k], entry(i - 1)[k]) << i;
    }
  }
}

TEST(LatticeProjection, FocalDistance256AboutTheCentre) {
  auto at = [](int32_t x, int32_t y, int32_t z) { return project_point({x, y, z}); };
  auto is = [](Vec2 p, int32_t x, int32_t y) { return p.x == x && p.y == y; };
  EXPECT_TRUE(is(at(256, 0, 0), 160, 100));  // behind or on the eye: the centre
  EXPECT_TRUE(is(at(256, 40, -5), 160, 100));
  EXPECT_TRUE(is(at(256, -256, 256), 288, -28));
  EXPECT_TRUE(is(at(100, 100, 1), 259, 199));  // 100 * 65536 / 65792 = 99.6, truncated
  EXPECT_TRUE(is(at(-100, -100, 1), 61, 1));   // toward zero on both sides
  EXPECT_TRUE(is(at(3000, -3000, 3000), 160 + 3000 * 65536 / (3000 * 256 + 65536),
                 100 - 3000 * 65536 / (3000 * 256 + 65536)));
}

TEST_F(LatticeScene, EdgesBehindTheViewerAreSkippedOrClippedToZ1) {
  lattice_draw_edge(frame.data(), {10, 10, 0}, {-40, 30, -100});
  for (uint8_t v : frame) ASSERT_EQ(v, 0);

  // Visible end (64, 0, 16), hidden end (-64, 0, -16): the crossing is x = 64 - 128 * 16 / 32 = 0,
  // moved to z = 1. Screen: (220, 100) to (160, 100); depth sum 17 gives colour 255.
  lattice_draw_edge(frame.data(), {-64, 0, -16}, {64, 0, 16});
  for (int32_t x = 0; x < screen_width; ++x) {
    EXPECT_EQ(frame[100 * screen_width + x], x >= 160 && x < 220 ? 255 : 0) << x;
  }
  // Far from the plane the colour is 256 - (z1 + z2) / 16.
  frame.assign(frame_size, 0);
  lattice_draw_edge(frame.data(), {0, 0, 1000}, {0, 800, 1000});
  EXPECT_EQ(frame[100 * screen_width + 160], 256 - 125);
  // Beyond depth sum 4080 the shade stays at colour 1.
  frame.assign(frame_size, 0);
  lattice_draw_edge(frame.data(), {0, 0, 3000}, {3000, 0, 3000});
  EXPECT_EQ(frame[100 * screen_width + 160], 1);
}

TEST_F(LatticeScene, LinesHuggingTheNearPlaneDrawBrightest) {
  // Depth sum 9: the shade formula would give 256, whose low byte 0 draws nothing.
  lattice_draw_edge(frame.data(), {64, 0, 8}, {-64, 0, -8});
  EXPECT_EQ(frame[100 * screen_width + 170], 255);
}

TEST_F(LatticeScene, TransformShiftsEachProductOnItsOwn) {
  pass(37);
  on_direction_toggle();
  pass(90);
  pass(0);
  const LatticeProbe s = lattice_probe();
  auto shifted = [](int32_t a, int32_t b) {
    return static_cast<int32_t>(std::floor(double(a) * b / 512.0));
  };
  const int32_t sin1 = sine_table[s.spin], cos1 = sine_table[(s.spin + 256) & 1023];
  const int32_t sin2 = sine_table[s.turn], cos2 = sine_table[(s.turn + 256) & 1023];
  for (int32_t i = 0; i < lattice_point_count; ++i) {
    const int32_t tx = s.points[i].x + static_cast<int32_t>(s.drift_x);
    const int32_t ty = s.points[i].y, tz = s.points[i].z + static_cast<int32_t>(s.drift_z);
    const int32_t u = shifted(tx, cos1) - shifted(ty, sin1);
    ASSERT_EQ(s.view[i].x, shifted(u, cos2) - shifted(tz, sin2)) << i;
    ASSERT_EQ(s.view[i].y, shifted(tx, sin1) + shifted(ty, cos1)) << i;
    ASSERT_EQ(s.view[i].z, shifted(tz, cos2) + shifted(u, sin2)) << i;
  }
}

TEST_F(LatticeScene, FirstPassRequestsThePalette) {
  scene_first_frame = 0;
  fade_pending = 0;
  lattice_draw(frame.data());
  EXPECT_EQ(scene_first_frame, 1);
  EXPECT_EQ(fade_target, lattice_palette);
  EXPECT_EQ(fade_pending, 1);
  EXPECT_EQ(fx_frame, frame.data());
}

TEST_F(LatticeScene, RowsZeroAnd199AreClearedEveryPass) {
  frame.assign(frame_size, 255);
  pass(1);
  for (int32_t x = 0; x < screen_width; ++x) {
    EXPECT_EQ(frame[x], 0);
    EXPECT_EQ(frame[199 * screen_width + x], 0);
  }
  // Decayed 255 is 199, ORed with grain and smoothed: the middle stays bright.
  EXPECT_GE(frame[100 * screen_width + 100], 199);
}

TEST_F(LatticeScene, GrainFrameAdvancesEveryFourTicks) {
  pass(3);
  EXPECT_EQ(lattice_probe().grain_index, 0);
  pass(1);
  EXPECT_EQ(lattice_probe().grain_index, 1);
  pass(20);
  EXPECT_EQ(lattice_probe().grain_index, 0);  // 24 ticks: six frames, round to 0
  EXPECT_EQ(lattice_probe().grain_phase, 0u);
}

TEST_F(LatticeScene, ABeatShowsTheFaceForFourTicksThenNoiseFrame0) {
  pass(6);  // grain frame 1, half way
  beat_pulse = 1;
  lattice_draw(frame.data());
  EXPECT_EQ(beat_pulse, 0);
  EXPECT_EQ(lattice_probe().grain_index, 6);
  EXPECT_EQ(lattice_probe().grain_phase, 0u);
  tick_count = 3;
  lattice_update(3);
  EXPECT_EQ(lattice_probe().grain_index, 6);
  pass(1);
  EXPECT_EQ(lattice_probe().grain_index, 0);
}

// The pass put together by hand: decay, the edges in view space, grain, rows 0 and 199, blur.
void expect_pass_with_grain(std::vector<uint8_t> before, const std::vector<uint8_t>& after,
                            int32_t grain) {
  uint8_t decay[256], divide[smooth_divide_size];
  fx_build_decay(decay, 56);
  fx_build_divide(divide);
  fx_decay(before.data(), decay);
  const LatticeProbe s = lattice_probe();
  for (int32_t i = 0; i < lattice_edge_count; ++i) {
    lattice_draw_edge(before.data(), s.view[s.edges[i].first], s.view[s.edges[i].second]);
  }
  fx_or_frame(before.data(), grain_frames[grain]);
  fx_clear_row(before.data(), 0, 0, screen_width);
  fx_clear_row(before.data(), 199, 0, screen_width);
  fx_smooth(before.data(), divide);
  EXPECT_TRUE(before == after);
}

TEST_F(LatticeScene, APassIsDecayLinesGrainClearAndBlur) {
  pass(4);
  pass(9);  // 13 ticks: grain frame 3
  ASSERT_EQ(lattice_probe().grain_index, 3);
  std::vector<uint8_t> before = frame;
  lattice_draw(frame.data());
  expect_pass_with_grain(before, frame, 3);
  beat_pulse = 1;
  before = frame;
  lattice_draw(frame.data());
  expect_pass_with_grain(before, frame, grain_face_frame);
}

TEST_F(LatticeScene, UpdateTurnsDriftsAndReverses) {
  pass(0);
  LatticeProbe s = lattice_probe();
  EXPECT_EQ(s.spin, 0u);
  EXPECT_EQ(s.drift_z, 0u);
  pass(1);
  s = lattice_probe();
  EXPECT_EQ(s.spin, 1u);
  EXPECT_EQ(s.turn, 1u);
  EXPECT_EQ(s.drift_z, 507u);
  EXPECT_EQ(s.drift_x, 0u);
  EXPECT_EQ(tick_count, 0u);
  on_direction_toggle();
  pass(3);
  s = lattice_probe();
  EXPECT_EQ(s.reverse, 1);
  EXPECT_EQ(s.spin, 4u);
  EXPECT_EQ(s.turn, 1022u);  // 1 - 3, modulo 1024
  EXPECT_EQ(s.drift_x, 15u);
  EXPECT_EQ(s.drift_z, 492u);
  pass(1024);
  s = lattice_probe();
  EXPECT_EQ(s.spin, 4u);
  EXPECT_EQ(s.drift_x, (15u + 5 * 1024) & 511);
  on_direction_toggle();
  EXPECT_EQ(lattice_probe().reverse, 0);
}

}  // namespace
