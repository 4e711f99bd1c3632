// Guards the whole scene against unintended change: scene 1 through the render harness.
#include <gtest/gtest.h>

#include <vector>

#include "tests/render_harness.h"

namespace {

TEST(LatticeHarness, FrameHashes) {
  struct Case {
    int passes, ticks;
    const char* extra;
    const char* hash;
  };
  // The first pass; a face flash in the last pass; a long flight with three beats.
  const Case cases[] = {
      {1, 1, "", "3ce4343ca141b0d2"},
      {60, 2, "--beat-at 10,59", "dfe3b6eb7497f348"},
      {200, 3, "--beat-at 7,100,196", "e884e34bd2748523"},
  };
  for (const Case& c : cases) {
    const std::vector<uint8_t> frame = test_support::render_scene(1, c.passes, c.ticks, c.extra);
    ASSERT_EQ(frame.size(), 64000u) << "tarnwick-render --scene 1 failed";
    EXPECT_EQ(test_support::fnv1a_hex(frame), c.hash) << c.passes << " passes, " << c.extra;
    for (int x = 0; x < 320; ++x) {
      ASSERT_EQ(frame[x], 0) << x;
      ASSERT_EQ(frame[199 * 320 + x], 0) << x;
    }
  }
}

}  // namespace
