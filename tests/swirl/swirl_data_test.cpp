// The swirl's data: the texture tile's levels and seams, the fine sine.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <set>

#include "scenes/swirl/swirl.h"

namespace {

TEST(SwirlData, TextureTileUsesTwentyFourLevelsUpTo253) {
  const std::set<uint8_t> levels(texture_tile, texture_tile + 64 * 64);
  EXPECT_EQ(levels.size(), 24u);
  EXPECT_EQ(*levels.begin(), 0);
  EXPECT_EQ(*levels.rbegin(), 253);
}

// The tile repeats around the ball and around the swirl's angle: no seam where it wraps.
TEST(SwirlData, TextureTileWrapsWithoutSeam) {
  auto row_step = [](int a, int b) {
    int sum = 0;
    for (int x = 0; x < 64; ++x) sum += std::abs(texture_tile[a * 64 + x] - texture_tile[b * 64 + x]);
    return sum;
  };
  auto column_step = [](int a, int b) {
    int sum = 0;
    for (int y = 0; y < 64; ++y) sum += std::abs(texture_tile[y * 64 + a] - texture_tile[y * 64 + b]);
    return sum;
  };
  int widest_row_step = 0;
  int widest_column_step = 0;
  for (int i = 0; i + 1 < 64; ++i) {
    widest_row_step = std::max(widest_row_step, row_step(i, i + 1));
    widest_column_step = std::max(widest_column_step, column_step(i, i + 1));
  }
  EXPECT_LE(row_step(63, 0), widest_row_step);
  EXPECT_LE(column_step(63, 0), widest_column_step);
}

TEST(SwirlData, FineSineHasAmplitude65536AndNoPhaseShift) {
  EXPECT_EQ(fine_sine[0], 0);
  EXPECT_EQ(fine_sine[256], 65536);
  EXPECT_EQ(fine_sine[512], 0);
  EXPECT_EQ(fine_sine[768], -65536);
  EXPECT_EQ(fine_sine[128], 46341);  // 65536 / sqrt 2
  for (int i = 1; i < 1024; ++i) EXPECT_EQ(fine_sine[1024 - i], -fine_sine[i]) << i;
  for (int i = 0; i <= 256; ++i) EXPECT_EQ(fine_sine[512 - i], fine_sine[i]) << i;
}

TEST(SwirlData, PaletteHitsEveryAnchor) {
  struct Anchor {
    int index, r, g, b;
  };
  const Anchor anchors[] = {{0, 0, 0, 0},      {5, 0, 0, 0},      {32, 4, 6, 5},     {64, 8, 12, 11},
                            {128, 17, 25, 22}, {192, 27, 39, 34}, {240, 34, 49, 43}, {241, 35, 50, 44},
                            {248, 48, 56, 53}, {254, 60, 62, 61}, {255, 63, 63, 63}};
  for (const Anchor& a : anchors) {
    EXPECT_EQ(swirl_palette[a.index * 3 + 0], a.r) << a.index;
    EXPECT_EQ(swirl_palette[a.index * 3 + 1], a.g) << a.index;
    EXPECT_EQ(swirl_palette[a.index * 3 + 2], a.b) << a.index;
  }
  for (int i = 0; i < 6; ++i)
    for (int c = 0; c < 3; ++c) EXPECT_EQ(swirl_palette[i * 3 + c], 0);
}

TEST(SwirlData, PaletteRisesWithGreenAboveBlueAboveRed) {
  for (int i = 0; i < 256; ++i) {
    const uint8_t* e = swirl_palette + i * 3;
    EXPECT_LE(e[0], 63);
    EXPECT_GE(e[1], e[2]) << i;
    EXPECT_GE(e[2], e[0]) << i;
    if (i > 0) {
      for (int c = 0; c < 3; ++c) EXPECT_GE(e[c], e[c - 3]) << i;
    }
  }
  // Smooth: no jump of more than a few levels below the steep top end.
  for (int i = 1; i < 241; ++i)
    for (int c = 0; c < 3; ++c) EXPECT_LE(swirl_palette[i * 3 + c] - swirl_palette[(i - 1) * 3 + c], 1);
}

}  // namespace
