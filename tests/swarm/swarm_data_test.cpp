// The scene's data and start-up tables: logo, blob, palette, jitter, cloud, swing.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <tuple>

#include "scenes/swarm/swarm.h"

namespace {

TEST(SwarmData, LogoHas222PixelsInRows10To23) {
  int32_t count = 0;
  for (int32_t n = 0; n < 32; ++n) {
    for (int32_t m = 0; m < 32; ++m) {
      if (!logo_bitmap[n * 32 + m]) continue;
      ++count;
      EXPECT_GE(n, 10);
      EXPECT_LE(n, 23);
    }
  }
  EXPECT_EQ(count, 222);
  swarm_init();
  EXPECT_EQ(swarm_probe().count, 222);
}

TEST(SwarmData, LogoTargetsFollowTheBitmapRowByRow) {
  swarm_init();
  const SwarmProbe s = swarm_probe();
  int32_t k = 0;
  for (int32_t n = 0; n < 32; ++n) {
    for (int32_t m = 0; m < 32; ++m) {
      if (!logo_bitmap[n * 32 + m]) continue;
      EXPECT_EQ(s.logo[k].x, -128 + 8 * m);
      EXPECT_EQ(s.logo[k].y, -128 + 8 * n);
      ++k;
    }
  }
}

TEST(SwarmData, BlobIsARoundGlowPeakingAtRow8Column7) {
  for (int32_t i = 0; i < 16; ++i) {
    EXPECT_EQ(blob_sprite[0 * 16 + i], 0);
    EXPECT_EQ(blob_sprite[1 * 16 + i], 0);
    EXPECT_EQ(blob_sprite[15 * 16 + i], 0);
    EXPECT_EQ(blob_sprite[i * 16 + 0], 0);
    EXPECT_EQ(blob_sprite[i * 16 + 15], 0);
  }
  EXPECT_EQ(blob_sprite[8 * 16 + 7], 15);
  for (int32_t i = 0; i < 256; ++i) {
    if (i != 8 * 16 + 7) {
      EXPECT_LT(blob_sprite[i], 15) << i;
    }
  }
  // Falls off away from the peak along the row and the column, and is mirror-symmetric.
  for (int32_t d = 1; d < 7; ++d) {
    EXPECT_LE(blob_sprite[8 * 16 + 7 + d], blob_sprite[8 * 16 + 7 + d - 1]);
    EXPECT_LE(blob_sprite[(8 + d) * 16 + 7], blob_sprite[(8 + d - 1) * 16 + 7]);
    EXPECT_EQ(blob_sprite[8 * 16 + 7 + d], blob_sprite[8 * 16 + 7 - d]);
    EXPECT_EQ(blob_sprite[(8 + d) * 16 + 7], blob_sprite[(8 - d) * 16 + 7]);
  }
}

TEST(SwarmData, PaletteAnchorsAndRamps) {
  auto entry = [](int i) {
    return std::array<int, 3>{swarm_palette[3 * i], swarm_palette[3 * i + 1], swarm_palette[3 * i + 2]};
  };
  using Rgb = std::array<int, 3>;
  for (int i = 0; i <= 3; ++i) EXPECT_EQ(entry(i), (Rgb{0, 0, 0}));
  EXPECT_EQ(entry(64), (Rgb{6, 21, 12}));
  EXPECT_EQ(entry(112), (Rgb{11, 38, 23}));
  EXPECT_EQ(entry(116), (Rgb{21, 44, 31}));
  EXPECT_EQ(entry(123), (Rgb{45, 56, 50}));
  for (int i = 127; i < 256; ++i) EXPECT_EQ(entry(i), (Rgb{63, 63, 63}));
  for (int i = 3; i < 768; ++i) EXPECT_GE(swarm_palette[i], swarm_palette[i - 3]) << i / 3;
  // Slow below 112: no step of more than 2 levels; the rise to white is steep.
  for (int i = 3; i <= 112 * 3; ++i) EXPECT_LE(swarm_palette[i] - swarm_palette[i - 3], 2);
}

TEST(SwarmData, JitterTables) {
  for (int i = 0; i < 256; ++i) {
    EXPECT_LE(std::abs(swarm_jitter_x[i]), 2);
    EXPECT_LE(std::abs(swarm_jitter_y[i]), 2);
  }
  // One step ahead of the angle: entry i is the wave at i + 1.
  EXPECT_EQ(swarm_jitter_x[63], 0);  // 6 * 64 / 256: one and a half turns
  EXPECT_EQ(swarm_jitter_x[0], 0);
  EXPECT_EQ(swarm_jitter_x[5], 2);
  EXPECT_EQ(swarm_jitter_y[63], 2);  // a whole number of turns
  EXPECT_EQ(swarm_jitter_y[18], -1);
}

TEST(SwarmInit, CloudComesFromTheSceneGeneratorSeeded3) {
  swarm_init();
  const SwarmProbe s = swarm_probe();
  EXPECT_EQ(s.cloud[0].x, 234);
  EXPECT_EQ(s.cloud[0].y, -132);
  EXPECT_EQ(s.cloud[1].x, -246);
  EXPECT_EQ(s.cloud[1].y, -203);
  EXPECT_EQ(s.cloud[2].x, -213);
  int32_t low = 0, high = 0;
  for (int32_t i = 0; i < swarm_capacity; ++i) {
    low = std::min({low, s.cloud[i].x, s.cloud[i].y});
    high = std::max({high, s.cloud[i].x, s.cloud[i].y});
  }
  EXPECT_GE(low, -256);
  EXPECT_LE(high, 255);
  // init starts over: a second call gives the same cloud.
  swarm_init();
  EXPECT_EQ(swarm_probe().cloud[0].x, 234);
}

TEST(SwarmInit, SwingRisesFromMinus65To62AndFallsBack) {
  swarm_init();
  const int32_t* swing = swarm_probe().swing;
  EXPECT_EQ(swing[0], 959);
  EXPECT_EQ(swing[127], 62);
  EXPECT_EQ(swing[128], 62);
  EXPECT_EQ(swing[255], 959);
  auto signed_angle = [](int32_t a) { return a >= 512 ? a - 1024 : a; };
  for (int32_t i = 1; i < 128; ++i) {
    EXPECT_EQ(signed_angle(swing[i]), signed_angle(swing[i - 1]) + 1);
    EXPECT_EQ(signed_angle(swing[128 + i]), signed_angle(swing[127 + i]) - 1);
  }
}

TEST(SwarmInit, EveryParticleFliesToTheCloudPoint64PlacesOn) {
  swarm_init();
  const SwarmProbe s = swarm_probe();
  bool saw_negative_remainder = false;
  for (int32_t k = 0; k < swarm_capacity; ++k) {
    EXPECT_EQ(s.ipos[k].x, s.cloud[k].x);
    EXPECT_EQ(s.pos[k].y, s.cloud[k].y * 65536);
    for (const auto& [vel, from, to] : {std::tuple{s.vel[k].x, s.cloud[k].x, s.cloud[(k + 64) & 1023].x},
                                        std::tuple{s.vel[k].y, s.cloud[k].y, s.cloud[(k + 64) & 1023].y}}) {
      const int64_t exact = int64_t{to - from} * 65536;
      // Truncated toward zero: never past the exact quotient, less than one step short.
      EXPECT_LE(std::llabs(int64_t{vel} * 625), std::llabs(exact));
      EXPECT_GT(std::llabs((int64_t{vel} + (exact < 0 ? -1 : 1)) * 625), std::llabs(exact));
      if (exact < 0 && exact % 625 != 0) saw_negative_remainder = true;
    }
  }
  EXPECT_TRUE(saw_negative_remainder);
}

}  // namespace
