// The blob plotter: clipping at every edge, the top and left placement, saturation.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "scenes/common/effect.h"
#include "scenes/swarm/swarm.h"

namespace {

class SwarmSprite : public ::testing::Test {
 protected:
  void SetUp() override { swarm_init(); }  // builds the row table the plotter uses
  std::vector<uint8_t> frame = std::vector<uint8_t>(frame_size, 0);

  // The frame must hold sprite row r, column c at (left + c, top + r) for rows first_row..
  // end_row-1 and columns 0..columns-1, and 0 everywhere else.
  void expect_blob(int32_t left, int32_t top, int32_t first_row, int32_t end_row, int32_t columns) {
    int32_t mismatches = 0;
    for (int32_t y = 0; y < screen_height; ++y) {
      for (int32_t x = 0; x < screen_width; ++x) {
        const int32_t r = y - top, c = x - left;
        const bool covered = r >= first_row && r < end_row && c >= 0 && c < columns;
        const uint8_t want = covered ? blob_sprite[r * 16 + c] : 0;
        if (frame[y * screen_width + x] != want && ++mismatches < 5) {
          ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << int(frame[y * screen_width + x]) << ", want "
                        << int(want);
        }
      }
    }
    EXPECT_EQ(mismatches, 0);
  }
};

TEST_F(SwarmSprite, WholeBlobInTheMiddle) {
  swarm_plot_sprite(frame.data(), 100, 50);
  expect_blob(100, 50, 0, 16, 16);
}

TEST_F(SwarmSprite, BottomAndRightEdgesKeepInsideRow198AndColumn318) {
  swarm_plot_sprite(frame.data(), 40, 190);  // rows 190..198 only
  expect_blob(40, 190, 0, 9, 16);
  frame.assign(frame_size, 0);
  swarm_plot_sprite(frame.data(), 310, 60);  // columns 310..318 only
  expect_blob(310, 60, 0, 16, 9);
  frame.assign(frame_size, 0);
  swarm_plot_sprite(frame.data(), 303, 183);  // the last place still drawn whole
  expect_blob(303, 183, 0, 16, 16);
  frame.assign(frame_size, 0);
  swarm_plot_sprite(frame.data(), 318, 198);  // one column, one row
  expect_blob(318, 198, 0, 1, 1);
}

TEST_F(SwarmSprite, ParticlesOutsideAreSkipped) {
  for (const auto& [x, y] :
       {std::pair{319, 50}, {400, 50}, {-16, 50}, {100, -16}, {100, -20}, {100, 199}, {100, 250}, {-1000, -1000}}) {
    swarm_plot_sprite(frame.data(), x, y);
  }
  expect_blob(0, 0, 0, 0, 0);
}

TEST_F(SwarmSprite, LeftEdgeDrawsTheWholeBlobFromColumn2) {
  swarm_plot_sprite(frame.data(), -15, 80);
  expect_blob(2, 80, 0, 16, 16);
  frame.assign(frame_size, 0);
  swarm_plot_sprite(frame.data(), 1, 80);
  expect_blob(2, 80, 0, 16, 16);
  frame.assign(frame_size, 0);
  swarm_plot_sprite(frame.data(), 2, 80);
  expect_blob(2, 80, 0, 16, 16);
}

TEST_F(SwarmSprite, TopEdgeMovesTheBlobTwoRowsDownAndCutsAboveRow2) {
  swarm_plot_sprite(frame.data(), 100, -5);  // sprite rows 5..15 on rows 2..12
  expect_blob(100, -3, 5, 16, 16);
  frame.assign(frame_size, 0);
  swarm_plot_sprite(frame.data(), 100, -15);  // only sprite row 15, on row 2
  expect_blob(100, -13, 15, 16, 16);
  frame.assign(frame_size, 0);
  swarm_plot_sprite(frame.data(), 100, 1);  // whole, from row 3
  expect_blob(100, 3, 0, 16, 16);
  frame.assign(frame_size, 0);
  swarm_plot_sprite(frame.data(), 100, 2);  // row 2 is the first row left as it is
  expect_blob(100, 2, 0, 16, 16);
  frame.assign(frame_size, 0);
  swarm_plot_sprite(frame.data(), -8, -8);  // both at once
  expect_blob(2, -6, 8, 16, 16);
}

TEST_F(SwarmSprite, SumsAbove255AreHalved) {
  // Row 5, column 6 of the blob holds 10.
  ASSERT_EQ(blob_sprite[5 * 16 + 6], 10);
  uint8_t& pixel = frame[(50 + 5) * screen_width + 100 + 6];
  pixel = 250;
  swarm_plot_sprite(frame.data(), 100, 50);
  EXPECT_EQ(pixel, 130);
  pixel = 245;
  swarm_plot_sprite(frame.data(), 100, 50);
  EXPECT_EQ(pixel, 255);
  pixel = 255;
  swarm_plot_sprite(frame.data(), 100, 50);
  EXPECT_EQ(pixel, 132);
  // Sprite bytes of 0 leave even a full pixel alone.
  frame[50 * screen_width + 100] = 255;
  swarm_plot_sprite(frame.data(), 100, 50);
  EXPECT_EQ(frame[50 * screen_width + 100], 255);
}

}  // namespace
