// The shared tables and whole-frame passes every scene builds on.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "scenes/captions/captions.h"
#include "scenes/common/fx.h"
#include "scenes/swirl/swirl.h"

namespace {

std::vector<uint8_t> frame_of(uint8_t value) { return std::vector<uint8_t>(frame_size, value); }

uint8_t& pixel(std::vector<uint8_t>& f, int row, int column) { return f[row * screen_width + column]; }

// The frame after one smoothing pass.
std::vector<uint8_t> smoothed(std::vector<uint8_t> f) {
  uint8_t divide[smooth_divide_size];
  fx_build_divide(divide);
  fx_smooth(f.data(), divide);
  return f;
}

// Restores the noise generator so tests can run in any order.
struct SeedGuard {
  uint32_t saved = grain_seed;
  ~SeedGuard() { grain_seed = saved; }
};

}  // namespace

TEST(SineTable, QuarterTurnsAndRange) {
  EXPECT_EQ(sine_table[255], 512);
  EXPECT_EQ(sine_table[511], 0);
  EXPECT_EQ(sine_table[767], -512);
  EXPECT_EQ(sine_table[1023], 0);
  // One step ahead: entry 0 is 512 sin(2 pi / 1024) = 3.14..., entry 256 is 512 cos(2 pi / 1024).
  EXPECT_EQ(sine_table[0], 3);
  EXPECT_EQ(fx_cos(0), 512);
  EXPECT_EQ(fx_sin(1024 + 255), 512);  // angles wrap at a full turn
  const auto [lo, hi] = std::minmax_element(sine_table, sine_table + 1024);
  EXPECT_EQ(*lo, -512);
  EXPECT_EQ(*hi, 512);
}

TEST(SineTable, OddSymmetryAboutTheHalfTurn) {
  // sin(x + pi) = -sin(x); the one-step lead keeps the pairing at i and i + 512.
  for (int i = 0; i < 512; ++i) EXPECT_EQ(sine_table[i], -sine_table[i + 512]) << i;
}

TEST(FxClear, ClearsWholeWordsOnly) {
  for (const auto& [count, cleared] : {std::pair{6u, 4}, {3u, 0}, {0u, 0}, {8u, 8}, {11u, 8}}) {
    uint8_t bytes[12];
    std::fill(std::begin(bytes), std::end(bytes), 0xAA);
    fx_clear(bytes, count);
    for (int i = 0; i < 12; ++i) EXPECT_EQ(bytes[i], i < cleared ? 0 : 0xAA) << count << " byte " << i;
  }
}

TEST(Grain, FirstValuesFromSeedThree) {
  SeedGuard guard;
  grain_seed = 3;
  // seed1 = 3 * 1107030247 + 97177 = 3321187918; >> 15 = 101354; & 63 = 42, and so on.
  const uint8_t expected[] = {42, 60, 10, 53, 43, 15, 33, 25};
  EXPECT_EQ(grain_random(), expected[0]);
  EXPECT_EQ(grain_seed, 3321187918u);
  for (int i = 1; i < 8; ++i) EXPECT_EQ(grain_random(), expected[i]) << i;
}

TEST(Grain, SeedWrapsModulo32Bits) {
  SeedGuard guard;
  grain_seed = 0xFFFFFFFFu;
  // (2^32 - 1) * 1107030247 + 97177 = -1107030247 + 97177 mod 2^32 = 3188034226.
  grain_random();
  EXPECT_EQ(grain_seed, 3188034226u);
}

TEST(Grain, BuildFillsNoiseAndTheDoubledFace) {
  SeedGuard guard;
  grain_seed = 3;
  grain_build();
  EXPECT_EQ(grain_frames[0][0], 42);
  EXPECT_EQ(grain_frames[0][1], 60);
  for (int f = 0; f < grain_face_frame; ++f) {
    EXPECT_EQ(*std::max_element(grain_frames[f], grain_frames[f] + frame_size), 63) << f;
    EXPECT_EQ(*std::min_element(grain_frames[f], grain_frames[f] + frame_size), 0) << f;
  }
  // Frames differ: the generator runs on from one frame to the next.
  EXPECT_FALSE(std::equal(grain_frames[0], grain_frames[0] + frame_size, grain_frames[1]));
  const uint8_t* face = grain_frames[grain_face_frame];
  for (int y = 0; y < screen_height; ++y)
    for (int x = 0; x < screen_width; ++x)
      ASSERT_EQ(face[y * screen_width + x], face_picture[(y / 2) * face_width + x / 2]) << x << "," << y;
}

TEST(FacePicture, TwoLevelsAndAVisiblePicture) {
  int ink = 0;
  for (uint8_t v : face_picture) {
    ASSERT_TRUE(v == 0 || v == 95) << int(v);
    ink += v == 95;
  }
  // A picture, not a blank or a solid block.
  EXPECT_GT(ink, face_width * face_height / 10);
  EXPECT_LT(ink, face_width * face_height * 9 / 10);
}

TEST(Decay, TableSubtractsAndStopsAtZero) {
  uint8_t table[256];
  fx_build_decay(table, 56);
  EXPECT_EQ(table[0], 0);
  EXPECT_EQ(table[55], 0);
  EXPECT_EQ(table[56], 0);
  EXPECT_EQ(table[57], 1);
  EXPECT_EQ(table[255], 199);
  fx_build_decay(table, 4);
  EXPECT_EQ(table[3], 0);
  EXPECT_EQ(table[4], 0);
  EXPECT_EQ(table[5], 1);
  EXPECT_EQ(table[255], 251);
  fx_build_decay(table, 14);
  EXPECT_EQ(table[100], 86);

  std::vector<uint8_t> f = frame_of(10);
  pixel(f, 0, 0) = 255;
  pixel(f, 199, 319) = 3;
  fx_decay(f.data(), table);
  EXPECT_EQ(pixel(f, 0, 0), 241);
  EXPECT_EQ(pixel(f, 199, 319), 0);
  EXPECT_EQ(pixel(f, 100, 160), 0);
}

TEST(Smoothing, DivideTable) {
  uint8_t divide[smooth_divide_size];
  fx_build_divide(divide);
  EXPECT_EQ(divide[0], 0);
  EXPECT_EQ(divide[4], 0);
  EXPECT_EQ(divide[5], 1);
  EXPECT_EQ(divide[1274], 254);
  EXPECT_EQ(divide[1275], 255);
}

TEST(Smoothing, UniformAreasStayAsTheyAre) {
  for (uint8_t v : {uint8_t{0}, uint8_t{37}, uint8_t{255}}) {
    const std::vector<uint8_t> f = smoothed(frame_of(v));
    EXPECT_EQ(std::count(f.begin(), f.end(), v), frame_size) << int(v);
  }
}

// One lit pixel on black, worked by hand in address order: the pass is in place, so the pixels
// above and to the left are already smoothed when a pixel reads them, and the rows run together
// as one line (column 0's left is the row above's last pixel).
TEST(Smoothing, InPlaceInAddressOrderWithTheRowsAsOneLine) {
  struct Pixel {
    int row, column, value;
  };
  const struct {
    Pixel lit;
    std::vector<Pixel> after;
  } cases[] = {
      // (4,10) and (5,9) see 100 below and right: 20. (5,10): 100 + above 20 + left 20 = 28
      // (20 if the old neighbours were used). (4,11), (6,9): 4; (5,11), (6,10): 6. (4,9) was
      // smoothed before anything reached it.
      {{5, 10, 100}, {{4, 10, 20}, {5, 9, 20}, {5, 10, 28}, {4, 11, 4}, {5, 11, 6}, {6, 9, 4}, {6, 10, 6}, {4, 9, 0}}},
      // (2,319) = 20; (3,0): its left is (2,319) -> 4; (3,319) = (100 + 20 + 20) / 5 = 28;
      // (4,0): above 4, left (3,319) 28 -> 6.
      {{3, 319, 100}, {{3, 0, 4}, {3, 319, 28}, {4, 0, 6}}},
  };
  for (const auto& c : cases) {
    std::vector<uint8_t> f = frame_of(0);
    pixel(f, c.lit.row, c.lit.column) = static_cast<uint8_t>(c.lit.value);
    f = smoothed(f);
    for (const Pixel& p : c.after) EXPECT_EQ(pixel(f, p.row, p.column), p.value) << p.row << "," << p.column;
  }
}

TEST(Smoothing, FirstAndLastRowsAreReadNotWritten) {
  std::vector<uint8_t> f = frame_of(0);
  for (int x = 0; x < screen_width; ++x) {
    pixel(f, 0, x) = 200;
    pixel(f, 199, x) = 150;
  }
  f = smoothed(f);
  for (int x = 0; x < screen_width; ++x) {
    EXPECT_EQ(pixel(f, 0, x), 200);
    EXPECT_EQ(pixel(f, 199, x), 150);
  }
  // Row 1: (1,0) = (above 200 + left (0,319) 200) / 5 = 80, then x = (200 + left) / 5 settles
  // at 50. Row 198 the same with 150 below: 30, 36, 37, 37...
  EXPECT_EQ(pixel(f, 1, 0), 80);
  EXPECT_EQ(pixel(f, 1, 1), 56);
  EXPECT_EQ(pixel(f, 1, 100), 50);
  EXPECT_EQ(pixel(f, 198, 0), 30);
  EXPECT_EQ(pixel(f, 198, 100), 37);
}

TEST(FrameHelpers, OrAndRowClear) {
  std::vector<uint8_t> f = frame_of(0x40);
  std::vector<uint8_t> g = frame_of(0x05);
  pixel(g, 7, 7) = 0x81;
  fx_or_frame(f.data(), g.data());
  EXPECT_EQ(pixel(f, 0, 0), 0x45);
  EXPECT_EQ(pixel(f, 7, 7), 0xC1);
  fx_clear_row(f.data(), 7, 5, 10);
  EXPECT_EQ(pixel(f, 7, 4), 0x45);
  EXPECT_EQ(pixel(f, 7, 5), 0);
  EXPECT_EQ(pixel(f, 7, 9), 0);
  EXPECT_EQ(pixel(f, 7, 10), 0x45);
}

TEST(BeatPulse, WaitsForAReadingScene) {
  beat_pulse = 0;
  on_beat_pulse();
  EXPECT_EQ(beat_pulse, 1);
  // The swirl never acts on the beat; its passes and the overlay leave the flag for scene 1 or 4.
  std::vector<uint8_t> f = frame_of(0);
  swirl_init();
  for (int pass = 0; pass < 3; ++pass) {
    swirl_draw(f.data());
    caption_draw(f.data());
    tick_count = 1;
    swirl_update(1.0);
  }
  EXPECT_EQ(beat_pulse, 1);
  on_beat_pulse();  // a second beat before anyone reads it changes nothing
  EXPECT_EQ(beat_pulse, 1);
  beat_pulse = 0;
}
