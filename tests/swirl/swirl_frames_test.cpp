// Frame hashes of the swirl scene through tarnwick-render's scene harness: they guard against
// unintended change; correctness comes from the edge-case tests.
#include <gtest/gtest.h>

#include "tests/render_harness.h"

namespace {

TEST(SwirlFrames, FirstPassOverAnEmptyFrame) {
  const std::vector<uint8_t> frame = test_support::render_scene(2, 1, 1);
  ASSERT_EQ(frame.size(), 64000u) << "tarnwick-render --scene 2 failed";
  EXPECT_EQ(test_support::fnv1a_hex(frame), "89824ec5367205ea");
  for (int x = 0; x < 320; ++x) {
    EXPECT_EQ(frame[x], 0);
    EXPECT_EQ(frame[199 * 320 + x], 0);
  }
}

TEST(SwirlFrames, BuiltUpOverManyPasses) {
  EXPECT_EQ(test_support::fnv1a_hex(test_support::render_scene(2, 60, 1)), "2f5238a2fe1b682e");
  EXPECT_EQ(test_support::fnv1a_hex(test_support::render_scene(2, 30, 2)), "507ca2c372da2265");
  EXPECT_EQ(test_support::fnv1a_hex(test_support::render_scene(2, 20, 0)), "5ed1d50dc6d1b2f0");
}

}  // namespace
