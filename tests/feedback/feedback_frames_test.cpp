// Frame hashes of the feedback scene through tarnwick-render's scene harness, fed a fixed start
// picture: they guard against unintended change; correctness comes from the edge-case tests.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/render_harness.h"

namespace {

// Blocks of two levels crossed by a bright diagonal: edges the quad's turn and zoom show.
std::string write_start_frame() {
  std::vector<uint8_t> frame(64000);
  for (int y = 0; y < 200; ++y) {
    for (int x = 0; x < 320; ++x) {
      uint8_t v = ((x / 16 + y / 16) % 2) ? 180 : 40;
      if (x - y > 60 && x - y < 66) v = 250;
      frame[y * 320 + x] = v;
    }
  }
  const std::string path = test_support::scratch_name("feedback-start", ".raw");
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f) {
    std::fwrite(frame.data(), 1, frame.size(), f);
    std::fclose(f);
  }
  return path;
}

TEST(FeedbackFrames, PassesFromAStartPicture) {
  const std::string start = write_start_frame();
  struct Case {
    int passes, ticks;
    const char* hash;
  };
  const Case cases[] = {
      {1, 0, "a6e9b0785e7937c8"},  // the start shifts (40, -30), before any tick
      {2, 1, "3503cee36d1f5aed"},
      {25, 1, "43a264323c188941"},
      {10, 3, "179a5bbb063e8765"},
  };
  for (const Case& c : cases) {
    const std::vector<uint8_t> frame = test_support::render_scene(3, c.passes, c.ticks, "--start " + start);
    ASSERT_EQ(frame.size(), 64000u) << "tarnwick-render --scene 3 failed";
    EXPECT_EQ(test_support::fnv1a_hex(frame), c.hash) << c.passes << " passes of " << c.ticks;
    for (int x = 0; x < 320; ++x) {
      ASSERT_EQ(frame[x], 0);
      ASSERT_EQ(frame[199 * 320 + x], 0);
    }
  }
  std::remove(start.c_str());
}

}  // namespace
