// The swirl's tables and passes: texture map, polar tables, twist.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "scenes/common/effect.h"
#include "scenes/swirl/swirl.h"

namespace {

uint8_t pixel(const std::vector<uint8_t>& frame, int x, int y) { return frame[y * 320 + x]; }
uint8_t radius_at(int x, int y) { return swirl_probe().radius[y * 320 + x]; }
uint8_t angle_at(int x, int y) { return swirl_probe().angle[y * 320 + x]; }

int count_nonzero(const std::vector<uint8_t>& frame) {
  int n = 0;
  for (uint8_t p : frame) n += p != 0;
  return n;
}

// Every test starts from freshly built tables and phase 0, and leaves them so for the next.
class SwirlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    swirl_init();
    swirl_reset();
    tick_count = 0;
  }
  void TearDown() override {
    swirl_init();
    swirl_reset();
    tick_count = 0;
  }
  void advance(uint32_t ticks) {
    tick_count = ticks;
    swirl_update(ticks);
  }
  std::vector<uint8_t> frame = std::vector<uint8_t>(64000, 0);
};

TEST_F(SwirlTest, TextureMapHoldsEachTilePixelAsFourByFourBlock) {
  EXPECT_EQ(reinterpret_cast<uintptr_t>(texture_map) % 65536, 0u);
  EXPECT_EQ(texture_map[0], texture_tile[0]);
  EXPECT_EQ(texture_map[3 * 256 + 3], texture_tile[0]);
  EXPECT_EQ(texture_map[4], texture_tile[1]);
  EXPECT_EQ(texture_map[4 * 256], texture_tile[64]);
  EXPECT_EQ(texture_map[255 * 256 + 255], texture_tile[63 * 64 + 63]);
  EXPECT_EQ(texture_map[130 * 256 + 77], texture_tile[32 * 64 + 19]);
}

TEST_F(SwirlTest, PolarTablesMatchTheExamples) {
  EXPECT_EQ(radius_at(160, 100), 0);
  EXPECT_EQ(angle_at(160, 100), 0);
  EXPECT_EQ(radius_at(0, 100), 160);
  EXPECT_EQ(angle_at(0, 100), 0);  // 768 keeps its low 8 bits
  EXPECT_EQ(radius_at(319, 100), 159);
  EXPECT_EQ(angle_at(319, 100), 128);
  EXPECT_EQ(radius_at(160, 0), 100);
  EXPECT_EQ(angle_at(160, 0), 192);
  EXPECT_EQ(radius_at(160, 199), 99);
  EXPECT_EQ(angle_at(160, 199), 64);
  EXPECT_EQ(radius_at(0, 0), 189);    // 188.68 rounds up: the largest radius
  EXPECT_EQ(radius_at(161, 101), 1);  // 1.41 rounds down
  EXPECT_EQ(radius_at(161, 102), 2);  // 2.24
}

TEST_F(SwirlTest, TwistFollowsTheFineSineShiftedBy11) {
  EXPECT_EQ(swirl_twist(0, 0), 0);
  EXPECT_EQ(swirl_twist(32, 0), 32);
  EXPECT_EQ(swirl_twist(96, 0), -32);
  EXPECT_EQ(swirl_twist(128, 0), 0);    // the wave repeats every 128 pixels of radius
  EXPECT_EQ(swirl_twist(0, 1021), -1);  // -1206 >> 11 rounds toward minus infinity
  EXPECT_EQ(swirl_twist(189, 1023), swirl_twist(189 - 128, 1023));
}

TEST_F(SwirlTest, PhaseFallsByThreePerTickAndWraps) {
  advance(0);
  EXPECT_EQ(swirl_probe().phase, 0);
  EXPECT_EQ(tick_count, 0u);
  advance(1);
  EXPECT_EQ(swirl_probe().phase, 1021);
  EXPECT_EQ(tick_count, 0u);
  swirl_reset();
  advance(342);
  EXPECT_EQ(swirl_probe().phase, 1022);
  EXPECT_EQ(tick_count, 0u);
  advance(0);
  EXPECT_EQ(swirl_probe().phase, 1022);
}

TEST_F(SwirlTest, TexelsAddTheirLowFiveBitsWithSaturation) {
  std::memset(texture_map, 31, sizeof texture_map);
  std::vector<uint8_t> bright(64000, 250);
  swirl_add_texture(bright.data());
  for (int x = 0; x < 320; ++x) {
    EXPECT_EQ(pixel(bright, x, 0), 250);  // rows 0 and 199 receive nothing
    EXPECT_EQ(pixel(bright, x, 1), 255);  // 250 + 31 saturates, it does not wrap to 25
    EXPECT_EQ(pixel(bright, x, 198), 255);
    EXPECT_EQ(pixel(bright, x, 199), 250);
  }
  std::memset(texture_map, 200, sizeof texture_map);
  swirl_add_texture(frame.data());
  EXPECT_EQ(pixel(frame, 0, 0), 0);
  EXPECT_EQ(pixel(frame, 0, 1), 8);  // 200 = 0b11001000: only the low five bits count
  EXPECT_EQ(pixel(frame, 319, 198), 8);
  EXPECT_EQ(count_nonzero(frame), 320 * 198);
}

TEST_F(SwirlTest, TableCentreLandsOneRowLower) {
  std::memset(texture_map, 0, sizeof texture_map);
  texture_map[0] = 95;  // texel (u 0, v 0), low five bits 31
  swirl_add_texture(frame.data());
  EXPECT_EQ(pixel(frame, 160, 101), 31);
  EXPECT_EQ(count_nonzero(frame), 1);

  // After one tick the twist at radius 0 is -1: the centre reads texel (u 0, v 255) instead.
  advance(1);
  std::fill(frame.begin(), frame.end(), 0);
  swirl_add_texture(frame.data());
  EXPECT_EQ(count_nonzero(frame), 0);
  texture_map[255 * 256] = 95;
  swirl_add_texture(frame.data());
  EXPECT_EQ(pixel(frame, 160, 101), 31);
}

TEST_F(SwirlTest, TextureWrapsThreeTimesAroundTheCentre) {
  // One texture row, v 160, shows where the bent angle is 160: once in each third of the circle.
  // At radius 32 (twist +32 at phase 0) that is angle 128, straight right of the centre.
  std::memset(texture_map, 0, sizeof texture_map);
  std::memset(texture_map + 160 * 256, 31, 256);
  swirl_add_texture(frame.data());
  EXPECT_EQ(pixel(frame, 192, 101), 31);
  bool right = false, upper_left = false, lower_left = false;
  for (int y = 1; y < 199; ++y) {
    for (int x = 0; x < 320; ++x) {
      if (pixel(frame, x, y) == 0 || radius_at(x, y - 1) < 20) continue;
      right |= x > 170;
      upper_left |= x < 150 && y - 1 < 90;
      lower_left |= x < 150 && y - 1 > 110;
    }
  }
  EXPECT_TRUE(right && upper_left && lower_left);
}

TEST_F(SwirlTest, EdgeRowsOnlyDecay) {
  std::memset(texture_map, 0, sizeof texture_map);
  for (int x = 0; x < 320; ++x) {
    frame[x] = x % 2 ? 10 : 100;
    frame[199 * 320 + x] = x % 2 ? 14 : 255;
  }
  scene_first_frame = 1;
  swirl_draw(frame.data());
  for (int x = 0; x < 320; ++x) {
    EXPECT_EQ(pixel(frame, x, 0), x % 2 ? 0 : 86);
    EXPECT_EQ(pixel(frame, x, 199), x % 2 ? 0 : 241);
  }
}

TEST_F(SwirlTest, PassDecaysAddsAndSmooths) {
  // A single bright texel at the centre, over a picture of 20: 20 - 14 = 6 everywhere, the centre
  // pixel gains 31, and the smoothing spreads it to the right and downward (never upward).
  std::memset(texture_map, 0, sizeof texture_map);
  texture_map[0] = 31;
  std::fill(frame.begin(), frame.end(), 20);
  scene_first_frame = 1;
  swirl_draw(frame.data());
  EXPECT_EQ(pixel(frame, 160, 50), 6);
  EXPECT_EQ(pixel(frame, 160, 100), (6 * 4 + 37) / 5);  // the pixel below is still unsmoothed
  EXPECT_EQ(pixel(frame, 159, 101), (6 * 4 + 37) / 5);
  EXPECT_EQ(pixel(frame, 160, 101), (37 + 12 + 12 + 6 + 6) / 5);
  EXPECT_EQ(pixel(frame, 160, 99), 6);
}

}  // namespace
