#include <gtest/gtest.h>

#include <vector>

#include "scenes/ball/ball.h"
#include "scenes/ball/ball_steps.h"
#include "scenes/common/fx.h"
#include "tests/render_harness.h"

namespace {

// The scene as start-up leaves it, with its motion back at the start.
void fresh_scene() {
  static bool built = false;
  if (!built) {
    grain_build();
    built = true;
  }
  ball_init();
  ball_reset();
  beat_pulse = 0;
  tick_count = 0;
}

void ticks(uint32_t n) {
  tick_count = n;
  ball_update(n);
}

TEST(BallUpdate, NoTicksChangeNothing) {
  fresh_scene();
  ticks(5);
  const BallProbe before = ball_probe();
  ticks(0);
  const BallProbe after = ball_probe();
  EXPECT_EQ(tick_count, 0u);
  EXPECT_EQ(after.angle_x, before.angle_x);
  EXPECT_EQ(after.angle_y, before.angle_y);
  EXPECT_EQ(after.shift_x, before.shift_x);
  EXPECT_EQ(after.depth, before.depth);
  EXPECT_EQ(after.grain_index, before.grain_index);
  EXPECT_EQ(after.grain_phase, before.grain_phase);
}

TEST(BallUpdate, FirstTickSetsShiftsAndDepthFromTheStartAngles) {
  fresh_scene();
  EXPECT_EQ(ball_probe().depth, 350);
  ticks(1);
  const BallProbe m = ball_probe();
  EXPECT_EQ(tick_count, 0u) << "the update uses the ticks up";
  EXPECT_EQ(m.shift_x, 0);  // sine 3 >> 2
  EXPECT_EQ(m.shift_y, 0);
  EXPECT_EQ(m.depth, 314);  // ((3 + 512) >> 3) + 250
  EXPECT_EQ(m.angle_x, 1);
  EXPECT_EQ(m.angle_y, 2);
  EXPECT_EQ(m.angle_z, 0);
}

TEST(BallUpdate, AnglesWrapAndShiftsFollowTheAngleBeforeTheStep) {
  fresh_scene();
  ticks(1024 + 255);
  const BallProbe m = ball_probe();
  EXPECT_EQ(m.angle_x, 255);
  EXPECT_EQ(m.angle_y, 510);
  EXPECT_EQ(m.shift_x, sine_table[254] >> 2);
  EXPECT_EQ(m.shift_y, sine_table[508] >> 2);
  EXPECT_EQ(m.depth, ((sine_table[254] + 512) >> 3) + 250);
}

TEST(BallUpdate, GrainAdvancesEveryFourthTickThroughSixNoiseFrames) {
  fresh_scene();
  ticks(3);
  EXPECT_EQ(ball_probe().grain_index, 0);
  ticks(1);
  EXPECT_EQ(ball_probe().grain_index, 1);
  EXPECT_EQ(ball_probe().grain_phase, 0);
  ticks(19);
  EXPECT_EQ(ball_probe().grain_index, 5);
  ticks(1);
  EXPECT_EQ(ball_probe().grain_index, 0) << "frame 6 is only ever reached by a beat";
}

TEST(BallDraw, BeatShowsTheFaceForFourTicksThenNoiseFrameZero) {
  fresh_scene();
  std::vector<uint8_t> frame(64000, 0);
  ticks(6);  // mid-cycle: phase 32768, noise frame 1
  beat_pulse = 1;
  ball_draw(frame.data());
  EXPECT_EQ(beat_pulse, 0) << "the draw consumes the beat";
  EXPECT_EQ(ball_probe().grain_index, 6);
  EXPECT_EQ(ball_probe().grain_phase, 0);
  for (int t = 1; t <= 3; ++t) {
    ticks(1);
    EXPECT_EQ(ball_probe().grain_index, 6) << "tick " << t;
  }
  ticks(1);
  EXPECT_EQ(ball_probe().grain_index, 0);
}

TEST(BallDraw, FirstPassRequestsTheFadeToItsPalette) {
  fresh_scene();
  std::vector<uint8_t> frame(64000, 0);
  scene_first_frame = 0;
  fade_pending = 0;
  fade_target = nullptr;
  ball_draw(frame.data());
  EXPECT_EQ(scene_first_frame, 1);
  EXPECT_EQ(fade_pending, 1);
  EXPECT_EQ(fade_target, ball_palette);
  EXPECT_EQ(fx_frame, frame.data());
  fade_pending = 0;
  ball_draw(frame.data());
  EXPECT_EQ(fade_pending, 0) << "only the first pass asks";
}

TEST(BallDraw, BorderRowsAreClearedBetweenTheSideBars) {
  fresh_scene();
  std::vector<uint8_t> frame(64000, 255);
  ball_draw(frame.data());
  const uint8_t* grain = grain_frames[0];
  for (int row : {0, 199}) {
    for (int x = 0; x < 320; ++x) {
      const int i = row * 320 + x;
      // Outside columns 32..287 the rows keep the decayed, grained picture.
      const int expected = x >= 32 && x < 288 ? 0 : (199 | grain[i]);
      ASSERT_EQ(frame[i], expected) << "row " << row << " column " << x;
    }
  }
  ticks(2);
  ball_draw(frame.data());
  for (int x = 32; x < 288; ++x) {
    ASSERT_EQ(frame[x], 0);
    ASSERT_EQ(frame[199 * 320 + x], 0);
  }
}

TEST(BallDraw, TheBallIsDrawnInTheMiddle) {
  fresh_scene();
  std::vector<uint8_t> frame(64000, 0);
  ball_draw(frame.data());
  // The ball faces the viewer at the centre: bright, far above the grain's 0..63.
  EXPECT_GT(frame[100 * 320 + 160], 150);
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
