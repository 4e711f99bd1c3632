// The line drawer: clipping rules, error term, spans, and never a byte outside the frame.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <utility>
#include <vector>

#include "scenes/common/effect.h"
#include "scenes/lattice/lattice.h"

namespace {

using Pixels = std::set<std::pair<int32_t, int32_t>>;

// A frame with guard bytes on both sides, so that a stray write shows even without a sanitizer.
class LineDrawer : public ::testing::Test {
 protected:
  static constexpr int32_t guard = 4096;
  std::vector<uint8_t> memory = std::vector<uint8_t>(frame_size + 2 * guard, 0);
  uint8_t* frame = memory.data() + guard;

  Pixels draw(Vec2 a, Vec2 b, uint8_t colour = 0x81) {
    draw_line_or(frame, a, b, colour);
    return lit();
  }
  Pixels lit() const {
    Pixels pixels;
    for (int32_t i = 0; i < frame_size; ++i) {
      if (frame[i]) pixels.insert({i % screen_width, i / screen_width});
    }
    return pixels;
  }
  void TearDown() override {
    for (int32_t i = 0; i < guard; ++i) {
      ASSERT_EQ(memory[i], 0) << "written before the frame";
      ASSERT_EQ(memory[guard + frame_size + i], 0) << "written after the frame";
    }
  }
};

TEST_F(LineDrawer, HorizontalLineClippedAtTheLeftEdge) {
  Pixels want;
  for (int32_t x = 0; x <= 9; ++x) want.insert({x, 50});
  EXPECT_EQ(draw({-10, 50}, {10, 50}), want);
}

TEST_F(LineDrawer, ThePointLineDrawsNothing) { EXPECT_TRUE(draw({5, 5}, {5, 5}).empty()); }

TEST_F(LineDrawer, DiagonalLeavesOutItsEndPoint) {
  EXPECT_EQ(draw({0, 0}, {3, 3}), (Pixels{{0, 0}, {1, 1}, {2, 2}}));
  memory.assign(memory.size(), 0);
  // Drawn from the other end the line is the same set: endpoints are ordered first.
  EXPECT_EQ(draw({3, 3}, {0, 0}), (Pixels{{0, 0}, {1, 1}, {2, 2}}));
}

TEST_F(LineDrawer, SteepLineStepsXByTheErrorTerm) {
  EXPECT_EQ(draw({0, 0}, {2, 7}), (Pixels{{0, 0}, {0, 1}, {0, 2}, {0, 3}, {1, 4}, {1, 5}, {1, 6}}));
}

TEST_F(LineDrawer, PixelIIsFloorIMinorOverMajorStepsAway) {
  // Shallow, rising to the right, drawn from its right end: x-major, y steps up.
  const Pixels pixels = draw({200, 80}, {100, 107});
  EXPECT_EQ(pixels.size(), 100u);
  for (int32_t i = 0; i < 100; ++i) {
    EXPECT_TRUE(pixels.count({100 + i, 107 - i * 27 / 100})) << i;
  }
  memory.assign(memory.size(), 0);
  // Steep, leaning left: y-major, x steps left.
  const Pixels steep = draw({150, 20}, {141, 61});
  EXPECT_EQ(steep.size(), 41u);
  for (int32_t i = 0; i < 41; ++i) EXPECT_TRUE(steep.count({150 - i * 9 / 41, 20 + i})) << i;
}

TEST_F(LineDrawer, ClippedOnBothSidesItFallsOnRow201AndIsRejected) {
  EXPECT_TRUE(draw({-50, -20}, {400, 250}).empty());
}

TEST_F(LineDrawer, ClippedAtTheRightEdgeItEndsAtRow199Excluded) {
  Pixels want;
  for (int32_t i = 0; i < 9; ++i) want.insert({310 + i, 190 + i});
  EXPECT_EQ(draw({310, 190}, {330, 210}), want);
}

TEST_F(LineDrawer, ClippedAtTheTopItStartsWhereItCrossesRow0) {
  // From (100,-50) to (150,50): crosses row 0 at x = 100 + 50 * 50 / 100 = 125.
  const Pixels pixels = draw({100, -50}, {150, 50});
  EXPECT_EQ(pixels.size(), 50u);
  EXPECT_TRUE(pixels.count({125, 0}));
  EXPECT_TRUE(pixels.count({149, 49}));
  memory.assign(memory.size(), 0);
  // Falling to the right and leaving through the top: (20,30) to (80,-30) ends at (50,0).
  const Pixels up = draw({20, 30}, {80, -30});
  EXPECT_EQ(up.size(), 30u);
  EXPECT_TRUE(up.count({20, 30}));
  EXPECT_FALSE(up.count({50, 0}));
}

TEST_F(LineDrawer, LinesOutsideTouchNothing) {
  EXPECT_TRUE(draw({-100, 10}, {-1, 150}).empty());  // left of column 0
  EXPECT_TRUE(draw({10, 200}, {300, 400}).empty());  // below row 199
  EXPECT_TRUE(draw({320, 10}, {500, 10}).empty());   // right of column 319
  EXPECT_TRUE(draw({10, -5}, {300, -1}).empty());    // above row 0
  EXPECT_TRUE(draw({-5, 100}, {-5, 100}).empty());
  EXPECT_TRUE(draw({-1000000, -1000000}, {-999999, 1000000}).empty());
  // At column 0 already on row 500: given up after the clip at the left edge.
  EXPECT_TRUE(draw({-3, 0}, {3, 1000}).empty());
  // Far outside on both ends: the clip products need their 64 bits.
  EXPECT_TRUE(draw({-2000000000, -2000000000}, {2000000000, 2000000000}).empty());
  EXPECT_EQ(draw({-2000000000, 100}, {2000000000, 100}).size(), 319u);
}

TEST_F(LineDrawer, SpansAreClampedAndLeaveOutTheirEnd) {
  Pixels column;
  for (int32_t y = 0; y < 199; ++y) column.insert({5, y});
  EXPECT_EQ(draw({5, 300}, {5, -10}), column);  // rows 0..198: the end row is never drawn
  memory.assign(memory.size(), 0);
  Pixels row;
  for (int32_t x = 0; x < 319; ++x) row.insert({x, 199});
  EXPECT_EQ(draw({400, 199}, {-5, 199}), row);
}

TEST_F(LineDrawer, ColourIsOredIn) {
  frame[50 * screen_width + 10] = 0x0f;
  draw({10, 50}, {20, 50}, 0xf0);
  EXPECT_EQ(frame[50 * screen_width + 10], 0xff);
  EXPECT_EQ(frame[50 * screen_width + 11], 0xf0);
}

TEST_F(LineDrawer, LongLinesAcrossTheFrameStayInside) {
  // Every direction through the frame from points far outside.
  for (int32_t a = 0; a < 360; a += 7) {
    const double r = 5000.0, angle = a * 3.14159265358979 / 180.0;
    const Vec2 p{static_cast<int32_t>(160 + r * std::cos(angle)), static_cast<int32_t>(100 + r * std::sin(angle))};
    const Vec2 q{static_cast<int32_t>(160 - r * std::cos(angle)), static_cast<int32_t>(100 - r * std::sin(angle) + 17)};
    draw_line_or(frame, p, q, 1);
  }
  EXPECT_FALSE(lit().empty());
}

}  // namespace
