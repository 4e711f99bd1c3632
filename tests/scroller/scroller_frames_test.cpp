// Frame regressions of the scroller through the scene harness of tarnwick-render.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "tests/render_harness.h"

TEST(ScrollerFrames, FirstPassLeavesTheFrameAsItWas) {
  std::vector<uint8_t> start(64000);
  for (size_t i = 0; i < start.size(); ++i) start[i] = static_cast<uint8_t>(i * 31 / 7);
  const std::string path = "scroller-start.raw";
  {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(start.data()), static_cast<std::streamsize>(start.size()));
  }
  const std::vector<uint8_t> frame = test_support::render_scene(6, 1, 3, "--start " + path);
  std::remove(path.c_str());
  EXPECT_EQ(frame, start);
}

TEST(ScrollerFrames, RisingCreditsAndTheFinalImage) {
  EXPECT_EQ(test_support::fnv1a_hex(test_support::render_scene(6, 2, 1)), "a2560e669e6d3c4c");
  EXPECT_EQ(test_support::fnv1a_hex(test_support::render_scene(6, 80, 5)), "5c3a0c13243c9046");
  // 1000 passes of 5 ticks: the picture has stopped at row 1527.
  EXPECT_EQ(test_support::fnv1a_hex(test_support::render_scene(6, 1000, 5)), "0f60bd32b5ab5f06");
}
