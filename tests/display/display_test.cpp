// The display over the headless video: mode search, palette conversion, row copies with pitch.
#include <gtest/gtest.h>

#include <vector>

#include "display/display.h"
#include "platform/headless/headless.h"

namespace {

class DisplayTest : public ::testing::Test {
 protected:
  void open(int32_t pitch) {
    headless_reset();
    headless_set_pitch(pitch);
    ASSERT_EQ(display.init(), 1);
    ASSERT_EQ(display.find_mode(320, 200, 8), 1);
    ASSERT_EQ(display.create_surfaces(), 1);
  }
  void TearDown() override { headless_reset(); }
};

TEST_F(DisplayTest, FindModeNeedsSizeAndDepthTogether) {
  open(320);
  EXPECT_EQ(display.find_mode(640, 480, 32), 1);
  EXPECT_EQ(display.find_mode(320, 200, 32), 0) << "32 bits exist only at 640x480";
  EXPECT_EQ(display.find_mode(800, 600, 8), 0);
}

TEST_F(DisplayTest, ModeTableStopsAtItsCapacity) {
  headless_reset();
  std::vector<VideoMode> many(16, VideoMode{1, 1, 8, 0, 0, 0});
  headless_set_modes(many.data(), 16);
  ASSERT_EQ(display.init(), 1);
  EXPECT_EQ(mode_count, 16);
}

TEST_F(DisplayTest, PaletteComponentsAreShiftedToEightBits) {
  open(320);
  std::vector<uint8_t> palette(768, 0);
  palette[0] = 63;
  palette[4] = 1;
  palette[767] = 32;
  display.set_palette(palette.data());
  EXPECT_EQ(headless_palette()[0].red, 252);
  EXPECT_EQ(headless_palette()[0].green, 0);
  EXPECT_EQ(headless_palette()[1].green, 4);
  EXPECT_EQ(headless_palette()[255].blue, 128);
  EXPECT_EQ(headless_palette()[255].flags, 0);
}

TEST_F(DisplayTest, PresentCopiesRowsWithTheSurfacesPitch) {
  open(384);
  std::vector<uint8_t> frame(64000);
  for (int i = 0; i < 64000; ++i) frame[i] = static_cast<uint8_t>(i / 320 + i % 320);
  EXPECT_EQ(display.present(frame.data(), 0, 200), 0);
  const uint8_t* back = headless_back_buffer();
  for (int y = 0; y < 200; y += 7)
    for (int x = 0; x < 320; x += 3) ASSERT_EQ(back[y * 384 + x], frame[y * 320 + x]) << x << "," << y;
  EXPECT_EQ(back[384 - 1], 0) << "bytes past the row's width stay untouched";
}

TEST_F(DisplayTest, PresentFromRowRCopiesTheSourcesFirstRowsThere) {
  open(384);
  std::vector<uint8_t> frame(64000);
  for (int i = 0; i < 64000; ++i) frame[i] = static_cast<uint8_t>(1 + i / 320);
  EXPECT_EQ(display.present(frame.data(), 150, 200), 0);
  const uint8_t* back = headless_back_buffer();
  EXPECT_EQ(back[149 * 384], 0);
  EXPECT_EQ(back[150 * 384], 1) << "source row 0 lands on row 150";
  EXPECT_EQ(back[199 * 384 + 319], 50);
}

TEST_F(DisplayTest, ALockThatFailsCopiesNothingButTheFlipStillCounts) {
  open(320);
  headless_fail_video(HeadlessVideoStep::lock, video_code::surface_lost);
  std::vector<uint8_t> frame(64000, 9);
  const uint64_t before = headless_present_count();
  display.present(frame.data(), 0, 200);
  EXPECT_EQ(headless_back_buffer()[0], 0);
  EXPECT_EQ(headless_present_count(), before + 1);
}

}  // namespace
