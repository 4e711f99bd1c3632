// The icon: a round emblem on a clear ground, with straight alpha the window system can use.
#include <gtest/gtest.h>

#include "resources/resources.h"

namespace {

uint32_t alpha(int x, int y) { return iconbig[y * iconbig_size + x] >> 24; }

TEST(Iconbig, OpaqueEmblemOnAClearGround) {
  EXPECT_EQ(alpha(0, 0), 0u);
  EXPECT_EQ(alpha(31, 0), 0u);
  EXPECT_EQ(alpha(0, 31), 0u);
  EXPECT_EQ(alpha(31, 31), 0u);
  int opaque = 0;
  for (int y = 0; y < iconbig_size; ++y)
    for (int x = 0; x < iconbig_size; ++x) opaque += alpha(x, y) == 255;
  EXPECT_GT(opaque, 400) << "the emblem fills most of the icon";
  EXPECT_EQ(alpha(16, 16), 255u);
}

TEST(Iconbig, ClearPixelsCarryNoColourAndTheEmblemIsSymmetric) {
  for (int y = 0; y < iconbig_size; ++y) {
    for (int x = 0; x < iconbig_size; ++x) {
      const uint32_t p = iconbig[y * iconbig_size + x];
      if ((p >> 24) == 0) {
        EXPECT_EQ(p, 0u) << x << "," << y;
      }
      // The outline is round and centred: coverage mirrors left to right.
      const uint32_t mirrored = alpha(31 - x, y);
      EXPECT_NEAR(static_cast<int>(alpha(x, y)), static_cast<int>(mirrored), 1) << x << "," << y;
    }
  }
}

}  // namespace
