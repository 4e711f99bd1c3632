// Whole passes of the scene in-process: where the particles go in the morph cycle, the hold, the
// swing, and a very long pass. Exact pixels are the frame tests' business.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <set>
#include <utility>
#include <vector>

#include "scenes/common/fx.h"
#include "scenes/swarm/swarm.h"
#include "tests/scene_pass.h"

namespace {

class SwarmScene : public ::testing::Test {
 protected:
  void SetUp() override {
    swarm_init();
    scene_first_frame = 0;
    tick_count = 0;
  }
  void pass(uint32_t ticks) { test_support::run_pass(swarm_draw, swarm_update, frame.data(), ticks); }
  std::vector<Vec2> ipos() const {
    const SwarmProbe s = swarm_probe();
    return {s.ipos, s.ipos + s.count};
  }
  std::vector<Vec2> screen() const {
    const SwarmProbe s = swarm_probe();
    return {s.screen, s.screen + s.count};
  }
  // From the start: the first flight (cloud to cloud), then the flight to the logo; arrival.
  void fly_to_the_logo() {
    pass(swarm_morph_ticks);
    pass(swarm_morph_ticks);
    pass(0);
  }
  std::vector<uint8_t> frame = std::vector<uint8_t>(frame_size, 0);
};

using PointSet = std::set<std::pair<int32_t, int32_t>>;

// The points of `points` that particles sit on, within a pixel (a flight's velocity is
// truncated); a particle on none of them fails the test.
PointSet points_reached(const Vec2* points, int32_t count) {
  const SwarmProbe s = swarm_probe();
  PointSet reached;
  for (int32_t k = 0; k < s.count; ++k) {
    bool on_one = false;
    for (int32_t i = 0; i < count; ++i) {
      if (std::abs(s.ipos[k].x - points[i].x) <= 1 && std::abs(s.ipos[k].y - points[i].y) <= 1) {
        reached.insert({points[i].x, points[i].y});
        on_one = true;
      }
    }
    EXPECT_TRUE(on_one) << "particle " << k << " at " << s.ipos[k].x << "," << s.ipos[k].y;
  }
  return reached;
}

PointSet logo_points() {
  const SwarmProbe s = swarm_probe();
  PointSet logo;
  for (int32_t k = 0; k < s.count; ++k) logo.insert({s.logo[k].x, s.logo[k].y});
  return logo;
}

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

TEST_F(SwarmScene, WithoutTicksNothingMovesAndTheBlobsStayLit) {
  pass(0);
  const std::vector<Vec2> start = ipos(), start_screen = screen();
  for (int32_t i = 0; i < 20; ++i) pass(0);
  EXPECT_TRUE(ipos() == start);
  EXPECT_TRUE(screen() == start_screen);
  EXPECT_EQ(swarm_probe().timer, 0u);
  EXPECT_EQ(tick_count, 0u);
  // Each pass adds the blobs again over the darkened picture: where they stand stays bright.
  int32_t shown = 0, lit = 0;
  for (const Vec2& p : start_screen) {
    if (p.x < 8 || p.x >= screen_width - 24 || p.y < 8 || p.y >= screen_height - 24) continue;
    ++shown;
    lit += frame[(p.y + 8) * screen_width + p.x + 8] > 0;
  }
  EXPECT_GT(shown, 20);
  EXPECT_EQ(lit, shown);
}

TEST_F(SwarmScene, MovementLagsOnePassAndFollowsTheFlight) {
  const std::vector<Vec2> start = ipos();
  pass(5);  // the draw of this pass moves nothing yet
  EXPECT_TRUE(ipos() == start);
  EXPECT_EQ(swarm_probe().last_ticks, 5u);
  pass(0);
  const SwarmProbe s = swarm_probe();
  EXPECT_EQ(s.timer, 5u);
  // Every particle starts on its cloud point, flying to the one 64 places on: after 5 of the
  // flight's ticks it is 5/625 of the way there.
  for (int32_t k = 0; k < s.count; ++k) {
    const Vec2 from = s.cloud[k], to = s.cloud[(k + 64) % swarm_capacity];
    const int32_t x = from.x + (to.x - from.x) * 5 / static_cast<int32_t>(swarm_morph_ticks);
    const int32_t y = from.y + (to.y - from.y) * 5 / static_cast<int32_t>(swarm_morph_ticks);
    ASSERT_LE(std::abs(s.ipos[k].x - x), 1) << k;
    ASSERT_LE(std::abs(s.ipos[k].y - y), 1) << k;
  }
}

TEST_F(SwarmScene, AMorphDropsTheTicksPastTheFlight) {
  pass(620);
  pass(10);  // its draw moves the 620 ticks of the pass before
  ASSERT_EQ(swarm_probe().to_logo, 0);
  pass(0);  // carries the timer from 620 to 630: the flight to the logo begins at 0
  SwarmProbe s = swarm_probe();
  EXPECT_EQ(s.timer, 0u);
  EXPECT_EQ(s.to_logo, 1);
  EXPECT_EQ(s.hold, 0);
  // The 5 ticks past the flight were not carried: 620 more ticks do not reach the logo, a whole
  // flight does, and every logo point gets its particle.
  pass(620);
  pass(0);
  EXPECT_EQ(swarm_probe().timer, 620u);
  EXPECT_EQ(swarm_probe().to_logo, 1);
  pass(5);
  pass(0);
  s = swarm_probe();
  EXPECT_EQ(s.hold, 1);
  EXPECT_EQ(points_reached(s.logo, s.count), logo_points());
}

TEST_F(SwarmScene, ArrivalAtTheLogoHoldsFor512TicksThenScattersToTheCloud) {
  fly_to_the_logo();
  const SwarmProbe s = swarm_probe();
  ASSERT_EQ(s.hold, 1);
  EXPECT_EQ(s.hold_left, swarm_hold_ticks);
  EXPECT_EQ(s.to_logo, 0);
  EXPECT_EQ(s.timer, 0u);
  // Every logo point holds exactly one particle.
  EXPECT_EQ(points_reached(s.logo, s.count), logo_points());

  // While holding, passes with ticks darken, blur and redraw, but nothing moves.
  const std::vector<Vec2> held = ipos();
  const std::vector<uint8_t> frame_before = frame;
  pass(500);
  pass(12);
  EXPECT_NE(frame, frame_before);
  pass(1);  // 512 ticks gone: hold_left is 0, not below 0
  EXPECT_EQ(swarm_probe().hold, 1);
  EXPECT_EQ(swarm_probe().hold_left, 0);
  pass(0);  // 513: the hold ends, but this pass still stands
  EXPECT_EQ(swarm_probe().hold, 0);
  EXPECT_TRUE(ipos() == held);
  EXPECT_EQ(swarm_probe().timer, 0u);
  pass(3);
  pass(0);  // now the flight to the cloud starts
  EXPECT_FALSE(ipos() == held);
  EXPECT_EQ(swarm_probe().timer, 3u);
  // One flight later every particle sits on a cloud point.
  pass(swarm_morph_ticks - 3);
  pass(0);
  const SwarmProbe after = swarm_probe();
  EXPECT_EQ(after.to_logo, 1) << "aimed at the logo again";
  points_reached(after.cloud, swarm_capacity);
}

TEST_F(SwarmScene, TheSwingSweepsItsRangeAndOnePassEqualsItsTicksOneByOne) {
  pass(0);
  EXPECT_EQ(swarm_probe().angle, 0u);  // no ticks: the logo stands upright
  // The angle, read as signed, sweeps from -65 to +62 a step at a time; the wobble stays within
  // 16 pixels of the centre.
  int32_t lowest = 0, highest = 0, previous = 0;
  for (int32_t t = 0; t < 1400; ++t) {
    pass(1);
    const SwarmProbe s = swarm_probe();
    const int32_t angle = s.angle >= 512 ? static_cast<int32_t>(s.angle) - 1024 : static_cast<int32_t>(s.angle);
    if (t > 0) {
      ASSERT_LE(std::abs(angle - previous), 1) << t;
    }
    previous = angle;
    lowest = std::min(lowest, angle);
    highest = std::max(highest, angle);
    ASSERT_LE(std::abs(s.wobble_x), 16);
    ASSERT_LE(std::abs(s.wobble_y), 16);
  }
  EXPECT_EQ(lowest, -65);
  EXPECT_EQ(highest, 62);
  EXPECT_EQ(tick_count, 0u);

  // 1400 ticks in one pass bring the swing, jitter, step and wobble where 1400 passes did.
  const SwarmProbe one_by_one = swarm_probe();
  const uint32_t angle = one_by_one.angle, swing_phase = one_by_one.swing_phase, jitter_phase = one_by_one.jitter_phase,
                 step = one_by_one.step;
  const int32_t wobble_x = one_by_one.wobble_x, wobble_y = one_by_one.wobble_y;
  swarm_init();
  pass(0);
  pass(1400);
  const SwarmProbe at_once = swarm_probe();
  EXPECT_EQ(at_once.angle, angle);
  EXPECT_EQ(at_once.swing_phase, swing_phase);
  EXPECT_EQ(at_once.jitter_phase, jitter_phase);
  EXPECT_EQ(at_once.step, step);
  EXPECT_EQ(at_once.wobble_x, wobble_x);
  EXPECT_EQ(at_once.wobble_y, wobble_y);
}

TEST_F(SwarmScene, TheSwarmStandsAboutTheCentreAndTurnsWithoutGrowing) {
  pass(0);
  // Upright: each particle at its place about the centre (the table's sine of 0 is 3, and each
  // product is rounded down), moved by the wobble (none yet).
  SwarmProbe s = swarm_probe();
  ASSERT_EQ(s.angle, 0u);
  for (int32_t k = 0; k < s.count; ++k) {
    EXPECT_LE(std::abs(s.screen[k].x - (s.ipos[k].x + 160 + s.wobble_x)), 2) << k;
    EXPECT_LE(std::abs(s.screen[k].y - (s.ipos[k].y + 100 + s.wobble_y)), 2) << k;
  }
  // Turned by the swing: distances from the centre stay, but for each product's rounding.
  pass(300);
  pass(0);
  s = swarm_probe();
  ASSERT_NE(s.angle, 0u);
  for (int32_t k = 0; k < s.count; ++k) {
    const int64_t dx = s.screen[k].x - 160 - s.wobble_x, dy = s.screen[k].y - 100 - s.wobble_y;
    const int64_t x = s.ipos[k].x, y = s.ipos[k].y;
    const double turned = std::sqrt(double(dx * dx + dy * dy)), upright = std::sqrt(double(x * x + y * y));
    EXPECT_NEAR(turned, upright, 3.0) << k;
  }
}

TEST_F(SwarmScene, AVeryLongPassWrapsAndTheParticlesStillReachTheLogo) {
  // A window inactive for half an hour hands over about 126000 ticks at once: the 16.16
  // positions wrap around as 32-bit sums do (the sanitizers would see an overflow).
  pass(126000);
  pass(0);
  const SwarmProbe s = swarm_probe();
  EXPECT_EQ(s.timer, 0u);
  EXPECT_EQ(s.to_logo, 1);
  // Aimed back at the logo from far away: the velocity still fits, and one flight lands them.
  pass(swarm_morph_ticks);
  pass(0);
  EXPECT_EQ(swarm_probe().hold, 1);
  EXPECT_EQ(points_reached(s.logo, s.count), logo_points());
}

}  // namespace
