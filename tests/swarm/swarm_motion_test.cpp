// Whole passes of the scene in-process: the morph cycle, the hold, the swing and the frame passes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <set>
#include <utility>
#include <vector>

#include "scenes/common/fx.h"
#include "scenes/swarm/swarm.h"

namespace {

class SwarmScene : public ::testing::Test {
 protected:
  void SetUp() override {
    swarm_init();
    scene_first_frame = 0;
    tick_count = 0;
  }
  // One main-loop pass as the host runs it: draw, then update with this pass's ticks.
  void pass(uint32_t ticks) {
    swarm_draw(frame.data());
    tick_count = ticks;
    swarm_update(ticks);
  }
  std::vector<SwarmPoint> ipos() const {
    const SwarmProbe s = swarm_probe();
    return {s.ipos, s.ipos + s.count};
  }
  std::vector<uint8_t> frame = std::vector<uint8_t>(frame_size, 0);
};

TEST_F(SwarmScene, FirstPassClearsAndRequestsThePalette) {
  frame.assign(frame_size, 200);
  fade_pending = 0;
  swarm_draw(frame.data());
  EXPECT_EQ(scene_first_frame, 1);
  EXPECT_EQ(fade_target, swarm_palette);
  EXPECT_EQ(fade_pending, 1);
  EXPECT_EQ(fx_frame, frame.data());
  for (int32_t x = 0; x < screen_width; ++x) EXPECT_EQ(frame[x], 0);
  // Later passes keep the picture: row 0 is only darkened.
  fade_pending = 0;
  std::memset(frame.data(), 200, screen_width);
  swarm_draw(frame.data());
  EXPECT_EQ(frame[7], 196);
  EXPECT_EQ(fade_pending, 0);
}

TEST_F(SwarmScene, WithoutTicksTheBlobsAreAddedAtTheSamePlacesAgain) {
  pass(0);
  const std::vector<SwarmPoint> start = ipos();
  const SwarmProbe s = swarm_probe();
  const std::vector<SwarmPoint> screen(s.screen, s.screen + s.count);
  // The next pass must be: decay by 4, blur, then the same blobs added again.
  std::vector<uint8_t> expected = frame;
  uint8_t decay[256], divide[smooth_divide_size];
  fx_build_decay(decay, 4);
  fx_build_divide(divide);
  fx_decay(expected.data(), decay);
  fx_smooth(expected.data(), divide);
  for (int32_t k = 0; k < s.count; ++k) {
    const uint32_t j = (s.jitter_phase + 3 * k) & 255;
    swarm_plot_sprite(expected.data(), screen[k].x + swarm_jitter_x[j],
                      screen[k].y + swarm_jitter_y[j]);
  }
  pass(0);
  EXPECT_TRUE(ipos() == start);
  EXPECT_TRUE(frame == expected);
  EXPECT_EQ(swarm_probe().timer, 0u);
  EXPECT_EQ(tick_count, 0u);
}

TEST_F(SwarmScene, MovementLagsOnePass) {
  const std::vector<SwarmPoint> start = ipos();
  pass(5);  // the draw of this pass moves nothing yet
  EXPECT_TRUE(ipos() == start);
  EXPECT_EQ(swarm_probe().last_ticks, 5u);
  pass(0);
  const SwarmProbe s = swarm_probe();
  for (int32_t k = 0; k < s.count; ++k) {
    EXPECT_EQ(s.pos[k].x, s.cloud[k].x * 65536 + 5 * s.vel[k].x);
    EXPECT_EQ(s.ipos[k].y, (s.cloud[k].y * 65536 + 5 * s.vel[k].y) >> 16);
  }
  EXPECT_EQ(s.timer, 5u);
}

TEST_F(SwarmScene, MorphAtTimerCrossing625DropsTheExcess) {
  pass(620);
  pass(10);  // its draw moves the 620 ticks of the pass before
  SwarmProbe s = swarm_probe();
  ASSERT_EQ(s.timer, 620u);
  ASSERT_EQ(s.to_logo, 0);
  ASSERT_EQ(s.step, 630u);
  const int32_t start = (s.start + s.cloud[s.step].x) & 1023;
  std::vector<SwarmPoint> moved(s.count);
  for (int32_t k = 0; k < s.count; ++k) {
    moved[k] = {(s.pos[k].x + 10 * s.vel[k].x) >> 16, (s.pos[k].y + 10 * s.vel[k].y) >> 16};
  }
  pass(0);  // carries the timer from 620 to 630: one morph step, timer back to 0
  s = swarm_probe();
  EXPECT_EQ(s.timer, 0u);
  EXPECT_EQ(s.to_logo, 1);
  EXPECT_EQ(s.hold, 0);
  EXPECT_EQ(s.start, start);
  for (int32_t k = 0; k < s.count; ++k) {
    ASSERT_TRUE(s.ipos[k] == moved[k]) << k;
    const SwarmPoint target = s.logo[(start + k) % s.count];
    EXPECT_EQ(s.vel[k].x, ((target.x - moved[k].x) * 65536) / 625);
    EXPECT_EQ(s.vel[k].y, ((target.y - moved[k].y) * 65536) / 625);
  }
  // The 5 ticks past 625 were not carried: 620 more ticks do not reach the next morph.
  pass(620);
  pass(0);
  EXPECT_EQ(swarm_probe().timer, 620u);
  EXPECT_EQ(swarm_probe().to_logo, 1);
}

TEST_F(SwarmScene, ArrivalAtTheLogoHoldsFor512TicksThenScattersToTheCloud) {
  pass(625);
  pass(625);  // first flight done, aimed at the logo
  ASSERT_EQ(swarm_probe().to_logo, 1);
  pass(0);  // moves 625: arrival
  const SwarmProbe s = swarm_probe();
  ASSERT_EQ(s.hold, 1);
  EXPECT_EQ(s.hold_left, 512);
  EXPECT_EQ(s.to_logo, 0);
  EXPECT_EQ(s.timer, 0u);
  // Every logo point holds exactly one particle, within a pixel of it.
  std::set<std::pair<int32_t, int32_t>> reached;
  for (int32_t k = 0; k < s.count; ++k) {
    const int32_t gx = static_cast<int32_t>(std::lround(s.ipos[k].x / 8.0)) * 8;
    const int32_t gy = static_cast<int32_t>(std::lround(s.ipos[k].y / 8.0)) * 8;
    EXPECT_LE(std::abs(s.ipos[k].x - gx), 1);
    EXPECT_LE(std::abs(s.ipos[k].y - gy), 1);
    reached.insert({gx, gy});
  }
  std::set<std::pair<int32_t, int32_t>> logo;
  for (int32_t k = 0; k < s.count; ++k) logo.insert({s.logo[k].x, s.logo[k].y});
  EXPECT_EQ(reached, logo);

  // Aimed at cloud points swarm_start, swarm_start + 1, ..., restarting at 0 after swarm_count.
  int32_t i = s.start;
  for (int32_t k = 0; k < s.count; ++k) {
    EXPECT_EQ(s.vel[k].x, ((s.cloud[i].x - s.ipos[k].x) * 65536) / 625) << k;
    EXPECT_EQ(s.vel[k].y, ((s.cloud[i].y - s.ipos[k].y) * 65536) / 625) << k;
    i = i + 1 > s.count ? 0 : i + 1;
  }

  // While holding, passes with ticks darken, blur and redraw, but nothing moves.
  const std::vector<SwarmPoint> held = ipos();
  const std::vector<uint8_t> frame_before = frame;
  pass(500);
  pass(12);
  EXPECT_NE(frame, frame_before);
  pass(1);  // 512 ticks gone: hold_left is 0, not below 0
  EXPECT_EQ(swarm_probe().hold, 1);
  EXPECT_EQ(swarm_probe().hold_left, 0);
  pass(0);  // 513: the hold ends, but this pass still stands
  EXPECT_EQ(swarm_probe().hold, 0);
  EXPECT_EQ(swarm_probe().hold_left, -1);
  EXPECT_TRUE(ipos() == held);
  EXPECT_EQ(swarm_probe().timer, 0u);
  pass(3);
  pass(0);  // now the flight to the cloud starts
  EXPECT_FALSE(ipos() == held);
  EXPECT_EQ(swarm_probe().timer, 3u);
}

TEST_F(SwarmScene, UpdateAdvancesSwingJitterStepAndWobble) {
  pass(0);
  SwarmProbe s = swarm_probe();
  EXPECT_EQ(s.angle, 0u);  // no ticks: nothing is looked up yet
  EXPECT_EQ(s.wobble_x, 0);
  pass(1);
  s = swarm_probe();
  EXPECT_EQ(s.jitter_phase, 1u);
  EXPECT_EQ(s.swing_phase, 12288u);
  EXPECT_EQ(s.angle, 959u);
  EXPECT_EQ(s.step, 1u);
  EXPECT_EQ(s.wobble_x, sine_table[1] >> 5);
  EXPECT_EQ(s.wobble_y, sine_table[2] >> 5);
  EXPECT_EQ(tick_count, 0u);
  pass(1365);
  s = swarm_probe();
  EXPECT_EQ(s.swing_phase, (1366u * 12288u) & 16777215u);
  EXPECT_EQ(s.angle, static_cast<uint32_t>(s.swing[s.swing_phase >> 16]));
  EXPECT_EQ(s.jitter_phase, 1366u & 255u);
  EXPECT_EQ(s.step, 1366u & 1023u);
  EXPECT_EQ(s.wobble_x, sine_table[1366 & 1023] >> 5);
  EXPECT_EQ(s.wobble_y, sine_table[(2 * 1366) & 1023] >> 5);
}

TEST_F(SwarmScene, TransformShiftsEachProductOnItsOwn) {
  pass(40);
  pass(0);
  const SwarmProbe s = swarm_probe();
  const int32_t sn = sine_table[s.angle], cs = sine_table[(s.angle + 256) & 1023];
  auto shifted = [](int32_t a, int32_t b) {
    return static_cast<int32_t>(std::floor(double(a) * b / 512.0));
  };
  for (int32_t k = 0; k < s.count; ++k) {
    const int32_t x = s.ipos[k].x, y = s.ipos[k].y;
    EXPECT_EQ(s.screen[k].x, shifted(x, cs) - shifted(y, sn) + 160 + s.wobble_x);
    EXPECT_EQ(s.screen[k].y, shifted(x, sn) + shifted(y, cs) + 100 + s.wobble_y);
  }
}

TEST_F(SwarmScene, AVeryLongPassWrapsInsteadOfOverflowing) {
  // A window inactive for half an hour hands over about 126000 ticks at once: the 16.16
  // positions wrap around as 32-bit sums do.
  const SwarmProbe s = swarm_probe();
  const std::vector<SwarmPoint> vel(s.vel, s.vel + s.count);
  pass(126000);
  pass(0);
  for (int32_t k = 0; k < s.count; ++k) {
    const uint32_t x = static_cast<uint32_t>(s.cloud[k].x * 65536) +
                       static_cast<uint32_t>(vel[k].x) * 126000u;
    ASSERT_EQ(s.ipos[k].x, static_cast<int32_t>(x) >> 16) << k;
  }
  const SwarmProbe after = swarm_probe();
  EXPECT_EQ(after.timer, 0u);
  EXPECT_EQ(after.to_logo, 1);
  // Aimed back at the logo from far away: the velocity still fits.
  for (int32_t k = 0; k < s.count; ++k) {
    const SwarmPoint target = s.logo[(after.start + k) % s.count];
    ASSERT_EQ(s.vel[k].x, (int64_t{target.x} - s.ipos[k].x) * 65536 / 625) << k;
  }
  pass(0);
}

}  // namespace
