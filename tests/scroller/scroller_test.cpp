// The scroller's tables and passes: weights, blend, palette requests, the rising picture.
#include "scenes/scroller/scroller.h"

#include <gtest/gtest.h>

#include <vector>

#include "scenes/common/fx.h"
#include "scenes/sphere/sphere.h"
#include "scenes/swirl/swirl.h"
#include "tests/sphere/sphere_start.h"

namespace {

void start_up_once() {
  static bool done = false;
  if (done) return;
  done = true;
  start_sphere_once();
  scroller_reset();
  scroller_build_tables();
}

// A picture whose row k holds value row_value(k) in every column.
std::vector<uint8_t> striped_picture(int (*row_value)(int)) {
  std::vector<uint8_t> picture(scroll_picture_min_size);
  for (int y = 0; y < scroll_rows_read; ++y)
    for (int x = 0; x < 320; ++x) picture[y * 320 + x] = static_cast<uint8_t>(row_value(y));
  return picture;
}

// The sphere as the scroller sees it under the current motion.
std::vector<uint8_t> sphere_on_black() {
  std::vector<uint8_t> frame(64000, 9);
  fx_frame = frame.data();
  sphere_draw_on_black();
  return frame;
}

std::vector<uint8_t> scroller_pass(const std::vector<uint8_t>& picture) {
  scroll_picture = picture.data();
  std::vector<uint8_t> frame(64000, 9);
  scene_first_frame = 1;
  scroller_draw(frame.data());
  return frame;
}

}  // namespace

TEST(ScrollerTables, WeightsSplitTheIndexAndBlendIsExact) {
  start_up_once();
  for (int i = 0; i < 256; ++i) {
    for (int j = 0; j < 16; ++j) {
      EXPECT_EQ(scroll_upper_weights[i][j], i - j * (i / 16));
      EXPECT_EQ(scroll_lower_weights[i][j], j * (i / 16));
    }
    for (int j = 0; j < 256; ++j) ASSERT_EQ(scroll_blend[i][j], i * (256 - j) / 256) << i << "," << j;
  }
  EXPECT_EQ(scroll_blend[255][0], 255);
  EXPECT_EQ(scroll_blend[255][255], 0);
  EXPECT_EQ(scroll_blend[0][100], 0);
}

TEST(ScrollerDraw, FirstPassOnlyRequestsThePalette) {
  start_up_once();
  const std::vector<uint8_t> palette(768, 5);
  scroll_palette = palette.data();
  std::vector<uint8_t> frame(64000, 77);
  uint8_t* before = fx_frame;
  scene_first_frame = 0;
  fade_pending = 0;
  scroller_draw(frame.data());
  EXPECT_EQ(scene_first_frame, 1);
  EXPECT_EQ(fade_pending, 1);
  EXPECT_EQ(fade_target, palette.data());
  EXPECT_EQ(fx_frame, before);
  EXPECT_EQ(frame, std::vector<uint8_t>(64000, 77));
}

TEST(ScrollerDraw, IndexZeroShowsTheSphereAnd255Covers) {
  start_up_once();
  scroller_reset();
  const std::vector<uint8_t> sphere = sphere_on_black();
  EXPECT_EQ(scroller_pass(striped_picture([](int) { return 0; })), sphere);
  EXPECT_EQ(scroller_pass(striped_picture([](int) { return 255; })), std::vector<uint8_t>(64000, 255));
}

TEST(ScrollerDraw, BlendsTheInterpolatedRowOverTheSphere) {
  start_up_once();
  const auto value = [](int y) { return (y * 53 + 17) % 256; };
  const std::vector<uint8_t> picture = striped_picture(value);
  const std::vector<uint8_t> sphere = sphere_on_black();
  for (int fine : {0, 9}) {
    scroller_reset();
    scroll_fine = fine;
    scroll_rows = 3;
    scroll_offset = 3 * 320;
    const std::vector<uint8_t> frame = scroller_pass(picture);
    for (int p = 0; p < 64000; p += 7) {
      const int a = value(3 + p / 320), b = value(4 + p / 320);
      // fine 0 shows row a unchanged; otherwise the high nibbles move fine/16 of the way to b.
      const int s = a + fine * (b / 16 - a / 16);
      const int d = sphere[p];
      ASSERT_EQ(frame[p], d * (256 - s) / 256 + s * (s + 1) / 256) << "fine " << fine << " p " << p;
    }
  }
  scroller_reset();
}

TEST(ScrollerUpdate, FourTicksMoveOneRowAndFourSixteenths) {
  start_up_once();
  scroller_reset();
  const SphereMotion before = sphere_motion;
  tick_count = 4;
  scroller_update(4.0);
  EXPECT_EQ(scroll_fine, 4);
  EXPECT_EQ(scroll_rows, 1);
  EXPECT_EQ(scroll_offset, 320);
  EXPECT_EQ(tick_count, 4u) << "the scroller leaves tick_count";
  EXPECT_EQ(sphere_motion.turn_angle, (before.turn_angle + 4) & 1023) << "the sphere turns on";
  tick_count = 0;
  scroller_update(0.0);
  EXPECT_EQ(scroll_fine, 4);
  EXPECT_EQ(scroll_rows, 1);
  scroller_reset();
}

TEST(ScrollerUpdate, OffsetStopsAtRow1527) {
  start_up_once();
  scroller_reset();
  tick_count = 1;
  int ticks = 0;
  while (scroll_rows < 1527) {
    scroller_update(1.0);
    ++ticks;
    ASSERT_EQ(scroll_offset, 320 * scroll_rows);
  }
  while (scroll_rows < 1528) {
    scroller_update(1.0);
    ++ticks;
  }
  EXPECT_EQ(ticks, 4890);
  EXPECT_EQ(scroll_offset, 488640);
  tick_count = 100;
  scroller_update(100.0);
  EXPECT_EQ(scroll_rows, 1528 + 31);
  EXPECT_EQ(scroll_offset, 488640);
  tick_count = 0;
  scroller_reset();
}
