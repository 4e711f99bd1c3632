// Guards the whole scene against unintended change: scene 0 through the render harness.
#include <gtest/gtest.h>

#include <vector>

#include "tests/render_harness.h"

namespace {

TEST(SwarmHarness, FrameHashes) {
  struct Case {
    int passes, ticks;
    const char* hash;
  };
  // The first pass; the flight to the logo; the hold and the scatter to the cloud.
  const Case cases[] = {
      {1, 1, "e7116706015165bf"},
      {200, 7, "10108ce9d8748a82"},
      {400, 5, "d18beda07d5f758d"},
  };
  for (const Case& c : cases) {
    const std::vector<uint8_t> frame = test_support::render_scene(0, c.passes, c.ticks);
    ASSERT_EQ(frame.size(), 64000u) << "tarnwick-render --scene 0 failed";
    EXPECT_EQ(test_support::fnv1a_hex(frame), c.hash) << c.passes << " passes of " << c.ticks;
    // Blobs stay below row 2 and above row 199, and the blur never writes rows 0 and 199.
    for (int x = 0; x < 320; ++x) {
      ASSERT_EQ(frame[x], 0) << x;
      ASSERT_EQ(frame[199 * 320 + x], 0) << x;
    }
  }
}

}  // namespace
