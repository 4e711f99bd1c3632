// The spiked ball's scene: where the motion stands after so many ticks, the grain cycle and the
// beat, and what a pass leaves. Exact pixels are the frame hashes' business.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <tuple>
#include <vector>

#include "scenes/ball/ball.h"
#include "scenes/ball/ball_steps.h"
#include "scenes/common/fx.h"
#include "tests/render_harness.h"
#include "tests/scene_pass.h"

namespace {

// The scene as start-up leaves it, with its motion back at the start.
class BallScene : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { grain_build(); }
  void SetUp() override {
    ball_init();
    ball_reset();
    scene_first_frame = 1;
    beat_pulse = 0;
    tick_count = 0;
  }
  void ticks(uint32_t n) {
    tick_count = n;
    ball_update(n);
  }
  void pass(uint32_t n) { test_support::run_pass(ball_draw, ball_update, frame.data(), n); }
  std::vector<uint8_t> frame = std::vector<uint8_t>(frame_size, 0);
};

// Angles, shifts and depth; the grain's own test follows.
auto motion() {
  const BallProbe m = ball_probe();
  return std::tuple(m.angle_x, m.angle_y, m.angle_z, m.shift_x, m.shift_y, m.depth);
}

// Per tick: the shifts and the depth follow the angles before the step, then angle x turns by 1
// and angle y by 2; angle z stays 0.
TEST_F(BallScene, TheMotionAfterSoManyTicks) {
  EXPECT_EQ(motion(), std::tuple(0, 0, 0, 0, 0, 350)) << "the start";
  ticks(0);
  EXPECT_EQ(motion(), std::tuple(0, 0, 0, 0, 0, 350)) << "no ticks, no change";
  ticks(1);
  EXPECT_EQ(tick_count, 0u) << "the update uses the ticks up";
  // From the angles 0: sine 3, so shifts 3 >> 2 = 0 and depth ((3 + 512) >> 3) + 250.
  EXPECT_EQ(motion(), std::tuple(1, 2, 0, 0, 0, 314));
  ticks(255);
  // Angle x was 255 (sine 512), angle y 510 (sine 3): farthest right and deepest.
  EXPECT_EQ(motion(), std::tuple(256, 512, 0, 128, 0, 378));
  ticks(256);
  // Angle x 511 (sine 0), angle y 1022 (sine -3, shifted down to -1).
  EXPECT_EQ(motion(), std::tuple(512, 0, 0, 0, -1, 314));
  ticks(256);
  // Angle x 767 (sine -512): farthest left and nearest.
  EXPECT_EQ(motion(), std::tuple(768, 512, 0, -128, 0, 250));
  ticks(256);
  EXPECT_EQ(std::get<0>(motion()), 0) << "angle x wraps after a whole turn";
  EXPECT_EQ(std::get<1>(motion()), 0);
}

// Over a whole turn the ball sweeps its ranges a step at a time; one pass of many ticks brings it
// where as many passes of one tick do.
TEST_F(BallScene, TheDriftSweepsItsRangeAndOnePassEqualsItsTicksOneByOne) {
  int32_t low[3] = {0, 0, 1000}, high[3] = {0, 0, 0};
  auto previous = motion();
  for (int32_t t = 0; t < 1024 + 300; ++t) {
    ticks(1);
    const auto m = motion();
    const int32_t values[3] = {std::get<3>(m), std::get<4>(m), std::get<5>(m)};
    const int32_t before[3] = {std::get<3>(previous), std::get<4>(previous), std::get<5>(previous)};
    for (int k = 0; k < 3; ++k) {
      low[k] = std::min(low[k], values[k]);
      high[k] = std::max(high[k], values[k]);
      // (The first tick leaves the starting depth 350.)
      if (t > 0) {
        ASSERT_LE(std::abs(values[k] - before[k]), 2) << "tick " << t << " value " << k;
      }
    }
    previous = m;
  }
  EXPECT_EQ(low[0], -128);
  EXPECT_EQ(high[0], 128);
  EXPECT_EQ(low[1], -128);
  EXPECT_EQ(high[1], 128);
  EXPECT_EQ(low[2], 250);
  EXPECT_EQ(high[2], 378);

  const BallProbe one_by_one = ball_probe();
  SetUp();
  ticks(1024 + 300);
  const BallProbe at_once = ball_probe();
  EXPECT_EQ(motion(), previous);
  EXPECT_EQ(at_once.grain_index, one_by_one.grain_index);
  EXPECT_EQ(at_once.grain_phase, one_by_one.grain_phase);
}

// Noise frames 0..5 one every four ticks (frame 6 only ever by a beat); a beat shows the face
// from its own pass for four ticks, then noise frame 0.
TEST_F(BallScene, GrainStepsEveryFourTicksAndABeatShowsTheFace) {
  std::vector<int32_t> seen;
  for (int32_t t = 0; t < 25; ++t) {
    ticks(1);
    seen.push_back(ball_probe().grain_index);
  }
  const std::vector<int32_t> expected = {0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0, 0};
  EXPECT_EQ(seen, expected);

  ticks(1);  // half way through noise frame 0
  beat_pulse = 1;
  ball_draw(frame.data());
  EXPECT_EQ(beat_pulse, 0) << "the draw takes the beat";
  // The face lies over the outer columns of rows 0 and 199, which are neither smoothed nor
  // cleared: the decayed picture (black) ORed with this pass's grain frame.
  const uint8_t* face = grain_frames[grain_face_frame];
  for (int32_t x : {0, 31, 288, 319}) {
    EXPECT_EQ(frame[x], face[x]) << x;
    EXPECT_EQ(frame[199 * screen_width + x], face[199 * screen_width + x]) << x;
  }
  test_support::expect_face_for_four_ticks(ball_update, [] { return ball_probe().grain_index; });
}

// Between the side bars rows 0 and 199 end every pass black; outside they keep the decayed,
// grained picture (255 decays to 199). The ball faces the viewer in the middle: bright, far
// above the grain's 0..63.
TEST_F(BallScene, ThePassLeavesTheBallInTheMiddleAndTheBorderRowsBlack) {
  frame.assign(frame_size, 255);
  pass(2);
  const uint8_t* grain = grain_frames[0];
  for (int row : {0, 199}) {
    for (int x = 0; x < screen_width; ++x) {
      const int i = row * screen_width + x;
      const int expected = x >= 32 && x < 288 ? 0 : (199 | grain[i]);
      ASSERT_EQ(frame[i], expected) << "row " << row << " column " << x;
    }
  }
  frame.assign(frame_size, 0);
  pass(0);
  EXPECT_GT(frame[100 * screen_width + 160], 150);
  for (int x = 32; x < 288; ++x) {
    ASSERT_EQ(frame[x], 0);
    ASSERT_EQ(frame[199 * screen_width + x], 0);
  }
}

// Guards the whole pass against unintended change: scene 4 through the render harness.
TEST(BallHarness, FrameHashes) {
  struct Case {
    int passes, ticks;
    const char* extra;
    const char* hash;
  };
  const Case cases[] = {
      {1, 1, "", "f530a196440f43e1"},
      {30, 2, "--beat-at 12", "86820c69ff42a759"},
      {120, 3, "--beat-at 5,40,90", "559f472de18d1d02"},
  };
  for (const Case& c : cases) {
    const std::vector<uint8_t> frame = test_support::render_scene(4, c.passes, c.ticks, c.extra);
    ASSERT_EQ(frame.size(), 64000u) << "tarnwick-render --scene 4 failed";
    EXPECT_EQ(test_support::fnv1a_hex(frame), c.hash) << c.passes << " passes, " << c.extra;
    for (int x = 32; x < 288; ++x) {
      ASSERT_EQ(frame[x], 0) << x;
      ASSERT_EQ(frame[199 * 320 + x], 0) << x;
    }
  }
}

}  // namespace
