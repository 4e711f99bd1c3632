// The lattice itself: its tables, the projection and near clipping, where the motion stands after
// so many ticks, the grain cycle and what a pass leaves. Exact pixels are the frame tests' business.
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <vector>

#include "scenes/common/fx.h"
#include "scenes/lattice/lattice.h"
#include "tests/scene_pass.h"

namespace {

// lattice_init sets the motion back to the start; it runs before every test.
class LatticeScene : public ::testing::Test {
 protected:
  void SetUp() override {
    lattice_init();
    scene_first_frame = 1;
    beat_pulse = 0;
    tick_count = 0;
  }
  void pass(uint32_t ticks) { test_support::run_pass(lattice_draw, lattice_update, frame.data(), ticks); }
  // The frame a pass draws from a black picture, the motion left where it is.
  std::vector<uint8_t> pass_from_black() {
    std::vector<uint8_t> from_black(frame_size, 0);
    lattice_draw(from_black.data());
    return from_black;
  }
  std::vector<uint8_t> frame = std::vector<uint8_t>(frame_size, 0);
};

TEST_F(LatticeScene, EightByEightByEightPointsJoinedToTheirNeighbours) {
  const LatticeProbe s = lattice_probe();
  for (int32_t i = 0; i < lattice_point_count; ++i) {
    EXPECT_EQ(s.points[i].x, -1792 + 512 * (i % 8));
    EXPECT_EQ(s.points[i].y, -1792 + 512 * (i / 8 % 8));
    EXPECT_EQ(s.points[i].z, -1792 + 512 * (i / 64));
  }
  // Along x row by row, then along y plane by plane, then along z.
  const LatticeEdge* e = s.edges;
  const std::array<int32_t, 3> expected[] = {{0, 0, 1},    {6, 6, 7},       {7, 8, 9},     {447, 510, 511},
                                             {448, 0, 8},  {503, 55, 63},   {504, 64, 72}, {895, 503, 511},
                                             {896, 0, 64}, {1343, 447, 511}};
  for (const auto& [index, first, second] : expected) {
    EXPECT_EQ(e[index].first, first) << index;
    EXPECT_EQ(e[index].second, second) << index;
  }
  for (int32_t i = 0; i < lattice_edge_count; ++i) {
    const auto a = s.points[e[i].first], b = s.points[e[i].second];
    EXPECT_EQ(std::abs(b.x - a.x) + std::abs(b.y - a.y) + std::abs(b.z - a.z), 512) << i;
  }
}

TEST(LatticePalette, ASepiaRampThroughItsAnchors) {
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
  const struct {
    int32_t x, y, z, screen_x, screen_y;
  } cases[] = {
      {256, 0, 0, 160, 100},           // on the eye's plane or behind it: the centre
      {256, 40, -5, 160, 100},         //
      {-256, 256, 256, 32, 228},       // 256 * x / (z + 256)
      {100, 100, 1, 259, 199},         // 100 * 65536 / 65792 = 99.6, truncated
      {-100, -100, 1, 61, 1},          // toward zero on both sides
      {3000, -3000, 3000, 395, -135},  // 3000 * 256 / 3256 = 235.9
  };
  for (const auto& c : cases) {
    const auto p = project_point({c.x, c.y, c.z});
    EXPECT_EQ(p.x, c.screen_x) << c.x << "," << c.y << "," << c.z;
    EXPECT_EQ(p.y, c.screen_y) << c.x << "," << c.y << "," << c.z;
  }
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
  // Depth sum 9: the shade formula would give 256, whose low byte 0 draws nothing.
  frame.assign(frame_size, 0);
  lattice_draw_edge(frame.data(), {64, 0, 8}, {-64, 0, -8});
  EXPECT_EQ(frame[100 * screen_width + 170], 255) << "lines hugging the near plane draw brightest";
}

// Per tick the lattice spins and turns by one, drifts 5 towards the viewer, and after the
// toggle turns back and drifts 5 sideways; the drifts wrap at one lattice cell (512).
TEST_F(LatticeScene, TheMotionAfterSoManyTicksAndTheToggle) {
  const struct {
    uint32_t before_toggle, after_toggle;
    uint32_t spin, turn, drift_x, drift_z;
  } cases[] = {
      {0, 0, 0, 0, 0, 0},            // the start
      {1, 0, 1, 1, 0, 507},          //
      {1, 3, 4, 1022, 15, 492},      // turned back past 0
      {1024, 0, 0, 0, 0, 0},         // a whole turn and ten cells
      {100, 1024, 100, 100, 0, 12},  // -5 * 1124 = -5620 = 12 - 11 * 512
  };
  for (const auto& c : cases) {
    SetUp();
    pass(c.before_toggle);
    if (c.after_toggle > 0) {
      on_direction_toggle();
      pass(c.after_toggle);
    }
    pass(0);
    const LatticeProbe s = lattice_probe();
    EXPECT_EQ(s.spin, c.spin) << c.before_toggle << " then " << c.after_toggle;
    EXPECT_EQ(s.turn, c.turn) << c.before_toggle << " then " << c.after_toggle;
    EXPECT_EQ(s.drift_x, c.drift_x) << c.before_toggle << " then " << c.after_toggle;
    EXPECT_EQ(s.drift_z, c.drift_z) << c.before_toggle << " then " << c.after_toggle;
    EXPECT_EQ(s.reverse, c.after_toggle > 0 ? 1 : 0);
    EXPECT_EQ(tick_count, 0u);
  }
  on_direction_toggle();
  EXPECT_EQ(lattice_probe().reverse, 0) << "a second toggle flips back";
}

// Where the motion puts the lattice in view space. At angle 255 the table's sine is 512 and its
// cosine 0, at 511 the cosine is -512 and at 1023 the sine is 0: exact quarter and half turns.
TEST_F(LatticeScene, ThePointsInViewTurnAboutTheViewAxisThenInTheXzPlane) {
  // The start: sine 3, cosine 512. Each product is shifted on its own: -1792 * 3 >> 9 is -11
  // (a shift rounds down), and the sums of unshifted products would give -1782 for u.
  pass(0);
  auto view = lattice_probe().view[0];
  EXPECT_EQ(view.x, -1770);  // u = -1792 + 11 = -1781, then -1781 + 11
  EXPECT_EQ(view.y, -1803);  // -11 - 1792
  EXPECT_EQ(view.z, -1803);  // -1792 + (-1781 * 3 >> 9 = -11)

  // 255 ticks: a quarter turn about the view axis, then a quarter turn in the x-z plane:
  // (x, y, z) goes to (-y, x, z), then to (-z, x, -y); z has drifted by -5 * 255 = 261 mod 512.
  pass(255);
  pass(0);
  const LatticeProbe s = lattice_probe();
  ASSERT_EQ(s.drift_z, 261u);
  for (int32_t i = 0; i < lattice_point_count; ++i) {
    const auto p = s.points[i];
    view = s.view[i];
    ASSERT_EQ(view.x, -(p.z + 261)) << i;
    ASSERT_EQ(view.y, p.x) << i;
    ASSERT_EQ(view.z, -p.y) << i;
  }

  // Toggled, 256 more ticks: spin 511 (a half turn), turn back to 1023 (none); x has drifted by
  // 5 * 256 = 256, z by -5 * 511 = 5 mod 512.
  on_direction_toggle();
  pass(256);
  pass(0);
  const LatticeProbe t = lattice_probe();
  ASSERT_EQ(t.drift_x, 256u);
  ASSERT_EQ(t.drift_z, 5u);
  for (int32_t i = 0; i < lattice_point_count; ++i) {
    const auto p = t.points[i];
    view = t.view[i];
    ASSERT_EQ(view.x, -(p.x + 256)) << i;
    ASSERT_EQ(view.y, -p.y) << i;
    ASSERT_EQ(view.z, p.z + 5) << i;
  }
}

// Noise frames 0..5 one every four ticks; a beat shows the face (frame 6) from its own pass for
// four ticks, then noise frame 0.
TEST_F(LatticeScene, GrainStepsEveryFourTicksAndABeatShowsTheFace) {
  pass(3);
  pass(0);
  EXPECT_EQ(lattice_probe().grain_index, 0);
  pass(1);
  pass(0);
  EXPECT_EQ(lattice_probe().grain_index, 1);
  pass(20);
  pass(0);
  EXPECT_EQ(lattice_probe().grain_index, 0) << "24 ticks: six frames, round to 0";
  EXPECT_EQ(lattice_probe().grain_phase, 0u);

  pass(6);  // grain frame 1, half way
  const std::vector<uint8_t> noise = pass_from_black();
  beat_pulse = 1;
  const std::vector<uint8_t> face = pass_from_black();
  EXPECT_EQ(beat_pulse, 0) << "the draw takes the beat";
  EXPECT_FALSE(face == noise);
  EXPECT_TRUE(pass_from_black() == face) << "the beat's own pass already shows the face";
  test_support::expect_face_for_four_ticks(lattice_update, [] { return lattice_probe().grain_index; });
}

// Rows 0 and 199 are cleared before the blur, so row 1 reads black above it: from a white
// picture it comes out far darker than the middle, which stays bright.
TEST_F(LatticeScene, RowsZeroAnd199AreClearedBeforeTheBlur) {
  frame.assign(frame_size, 255);
  pass(1);
  int32_t row1 = 0, middle = 0;
  for (int32_t x = 0; x < screen_width; ++x) {
    EXPECT_EQ(frame[x], 0);
    EXPECT_EQ(frame[199 * screen_width + x], 0);
    row1 += frame[screen_width + x];
    middle += frame[100 * screen_width + x];
  }
  EXPECT_GE(middle / screen_width, 199) << "decayed 255 is 199, grain and lines only add";
  EXPECT_LT(row1 / screen_width, middle / screen_width - 30);
}

}  // namespace
