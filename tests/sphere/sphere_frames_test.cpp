// Frame regressions of the sphere scene through the scene harness of tarnwick-render.
#include <gtest/gtest.h>

#include "tests/render_harness.h"

TEST(SphereFrames, FirstPassDrawsTheFullPicture) {
  const std::vector<uint8_t> frame = test_support::render_scene(5, 1, 0);
  ASSERT_EQ(frame.size(), 64000u);
  EXPECT_EQ(test_support::fnv1a_hex(frame), "230c2d8b70abbd74");
  // Rows 0 and 199 are cleared between the side bars; the rest is background, grain or sphere.
  for (int x = 32; x < 288; ++x) {
    EXPECT_EQ(frame[x], 0);
    EXPECT_EQ(frame[199 * 320 + x], 0);
  }
}

TEST(SphereFrames, PassesOfSeveralTicks) {
  EXPECT_EQ(test_support::fnv1a_hex(test_support::render_scene(5, 3, 2)), "a52c5e1586004e6f");
  EXPECT_EQ(test_support::fnv1a_hex(test_support::render_scene(5, 40, 3)), "0e5023978e286b26");
}
