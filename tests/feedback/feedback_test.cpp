// The feedback scene's motion: corners, turn, swing and shifts tick by tick.
#include <gtest/gtest.h>

#include <cstdint>
#include <tuple>
#include <vector>

#include "scenes/common/effect.h"
#include "scenes/feedback/feedback.h"

namespace {

class FeedbackTest : public ::testing::Test {
 protected:
  void SetUp() override {
    feedback_reset();
    tick_count = 0;
  }
  void TearDown() override { feedback_reset(); }
  void advance(uint32_t ticks) {
    tick_count = ticks;
    feedback_update(ticks);
  }
};

TEST_F(FeedbackTest, StartCornersShiftEachProductOnItsOwn) {
  // Angle 0: sine 3, cosine 512; shifts (40, -30). -110 * 3 >> 9 is -1, not 0.
  const FeedbackProbe probe = feedback_probe();
  EXPECT_EQ(probe.corners[0], (Vec2{61, -41}));
  EXPECT_EQ(probe.corners[1], (Vec2{60, 179}));
  EXPECT_EQ(probe.corners[2], (Vec2{341, -40}));
  EXPECT_EQ(probe.corners[3], (Vec2{340, 180}));
}

// Angle, swing, shifts and their phases, compared in one go.
auto motion() {
  const FeedbackProbe m = feedback_probe();
  return std::tuple(m.angle, m.swing, m.shift_x, m.shift_y, m.swing_phase, m.shift_x_phase, m.shift_y_phase);
}

TEST_F(FeedbackTest, FirstTickTurnsByOneAndCentresAndNoTicksChangeNothing) {
  advance(1);
  EXPECT_EQ(motion(), std::tuple(1, 64, 0, 7, 259, 2, 43));
  EXPECT_EQ(tick_count, 0u);
  advance(4);
  const auto before = motion();
  advance(0);
  EXPECT_EQ(motion(), before);
  EXPECT_EQ(tick_count, 0u);
}

TEST_F(FeedbackTest, SwingTurnsBackAndForth) {
  // The turn follows the sign of the previous tick's swing: between -83 and about +90.
  int lowest = 0, highest = 0;
  for (int n = 0; n < 1024; ++n) {
    advance(1);
    const int angle = feedback_probe().angle;
    lowest = std::min(lowest, angle >= 512 ? angle - 1024 : angle);
    highest = std::max(highest, angle >= 512 ? angle - 1024 : angle);
  }
  EXPECT_EQ(lowest, -83);
  EXPECT_EQ(highest, 89);
}

TEST_F(FeedbackTest, PassClearsEdgeRows) {
  std::vector<uint8_t> frame(64000);
  for (int i = 0; i < 64000; ++i) frame[i] = static_cast<uint8_t>(i * 13 % 251 + 1);
  scene_first_frame = 1;
  feedback_draw(frame.data());
  for (int x = 0; x < 320; ++x) {
    EXPECT_EQ(frame[x], 0) << x;
    EXPECT_EQ(frame[199 * 320 + x], 0) << x;
  }
}

TEST_F(FeedbackTest, QuadRedrawsTheCentreColumns) {
  // After one tick the quad is centred at (160, 107), turned by 1. In a flat area the smoothing,
  // fed from the cleared top row and rounding down, takes exactly one level.
  advance(1);
  std::vector<uint8_t> frame(64000, 100);
  for (int y = 0; y < 200; ++y)
    for (int x = 32; x < 288; ++x) frame[y * 320 + x] = 200;
  scene_first_frame = 1;
  feedback_draw(frame.data());
  // Columns 32..287 are enlarged about 1.1 times over columns 20..299.
  EXPECT_EQ(frame[100 * 320 + 25], 199);
  EXPECT_EQ(frame[100 * 320 + 295], 199);
  EXPECT_EQ(frame[100 * 320 + 10], 99);
  EXPECT_EQ(frame[100 * 320 + 310], 99);
}

}  // namespace
