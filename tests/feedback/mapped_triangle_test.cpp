// The feedback scene's texture-mapped triangle: degenerate ones, one-to-one texels, edges.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <vector>

#include "scenes/feedback/feedback.h"

namespace {

constexpr uint8_t untouched = 0xEE;

// A 256x200 texture of exactly its own size, so any read outside it is caught by the sanitizers.
// No texel equals the sentinel of untouched pixels.
std::vector<uint8_t> make_texture() {
  std::vector<uint8_t> texture(256 * 200);
  for (int v = 0; v < 200; ++v)
    for (int u = 0; u < 256; ++u) texture[v * 256 + u] = static_cast<uint8_t>((u * 7 + v * 31) % 237);
  return texture;
}

struct Corner {
  int32_t x, y, u, v;
};

class MappedTriangleTest : public ::testing::Test {
 protected:
  std::vector<uint8_t> draw(const Corner& a, const Corner& b, const Corner& c) {
    std::vector<uint8_t> frame(64000, untouched);
    const mapped_triangle triangle{a.x, a.y, b.x, b.y, c.x, c.y, {0, 0, 0, 0},
                                   a.u, a.v, b.u, b.v, c.u, c.v, texture.data()};
    draw_mapped_triangle(triangle, frame.data());
    return frame;
  }
  uint8_t texel(int u, int v) const { return texture[v * 256 + u]; }
  std::vector<uint8_t> texture = make_texture();
};

int written(const std::vector<uint8_t>& frame) {
  return static_cast<int>(std::count_if(frame.begin(), frame.end(), [](uint8_t p) { return p != untouched; }));
}

bool row_written(const std::vector<uint8_t>& frame, int y) {
  for (int x = 0; x < 320; ++x)
    if (frame[y * 320 + x] != untouched) return true;
  return false;
}

TEST_F(MappedTriangleTest, DegenerateTrianglesDrawNothing) {
  EXPECT_EQ(written(draw({0, 5, 0, 0}, {100, 5, 50, 0}, {50, 5, 9, 9})), 0);      // one row
  EXPECT_EQ(written(draw({0, 0, 0, 0}, {5, 5, 10, 10}, {10, 10, 20, 20})), 0);    // W = 0
  EXPECT_EQ(written(draw({0, 200, 0, 0}, {300, 250, 0, 0}, {0, 260, 0, 0})), 0);  // below
  EXPECT_EQ(written(draw({0, -50, 0, 0}, {300, -20, 0, 0}, {0, 0, 0, 0})), 0);    // ends at row 0
}

TEST_F(MappedTriangleTest, MapsTexelsOneToOne) {
  // u and v equal to x and y: every pixel shows the texel under it; the right edge's pixel is
  // not drawn and the bottom row neither.
  const auto frame = draw({0, 0, 0, 0}, {0, 100, 0, 100}, {100, 0, 100, 0});
  for (int y = 0; y < 100; ++y) {
    for (int x = 0; x < 100 - y; ++x) ASSERT_EQ(frame[y * 320 + x], texel(x, y)) << x << "," << y;
    EXPECT_EQ(frame[y * 320 + 100 - y], untouched) << y;
  }
  EXPECT_FALSE(row_written(frame, 100));
  EXPECT_EQ(written(frame), 100 * 101 / 2);
}

TEST_F(MappedTriangleTest, RowsTenToTwentyWriteRowsTenToNineteen) {
  const auto frame = draw({10, 10, 0, 0}, {200, 10, 100, 0}, {100, 20, 50, 150});
  EXPECT_FALSE(row_written(frame, 9));
  for (int y = 10; y < 20; ++y) EXPECT_TRUE(row_written(frame, y)) << y;
  EXPECT_FALSE(row_written(frame, 20));
}

TEST_F(MappedTriangleTest, RightClipStopsAtColumn318) {
  const auto frame = draw({-100, -50, 0, 0}, {900, -50, 255, 0}, {-100, 400, 0, 199});
  for (int y = 0; y < 200; ++y) {
    EXPECT_NE(frame[y * 320 + 318], untouched) << y;
    EXPECT_EQ(frame[y * 320 + 319], untouched) << y;
  }
}

TEST_F(MappedTriangleTest, LeftClipAdvancesTheTexture) {
  // The same triangle 80 columns further left is the same picture moved, cut at column 0.
  const Corner a{60, 20, 10, 5}, b{140, 150, 40, 180}, c{200, 60, 240, 30};
  const auto whole = draw(a, b, c);
  const auto cut = draw({a.x - 80, a.y, a.u, a.v}, {b.x - 80, b.y, b.u, b.v}, {c.x - 80, c.y, c.u, c.v});
  for (int y = 0; y < 200; ++y) {
    for (int x = 0; x + 80 < 320; ++x) ASSERT_EQ(cut[y * 320 + x], whole[y * 320 + x + 80]) << x << "," << y;
  }
  EXPECT_NE(cut[30 * 320], untouched);  // this row starts left of column 0
}

TEST_F(MappedTriangleTest, StartAboveTheScreenAdvancesTheEdges) {
  const Corner a{60, 20, 10, 5}, b{140, 150, 40, 180}, c{200, 60, 240, 30};
  const auto whole = draw(a, b, c);
  const auto cut = draw({a.x, a.y - 45, a.u, a.v}, {b.x, b.y - 45, b.u, b.v}, {c.x, c.y - 45, c.u, c.v});
  for (int y = 0; y + 45 < 200; ++y) {
    for (int x = 0; x < 320; ++x) ASSERT_EQ(cut[y * 320 + x], whole[(y + 45) * 320 + x]) << x << "," << y;
  }
  EXPECT_TRUE(row_written(cut, 0));
}

TEST_F(MappedTriangleTest, VertexOrderDoesNotMatter) {
  Corner corners[3] = {{30, 150, 0, 199}, {250, 10, 255, 0}, {5, 40, 0, 0}};
  std::sort(corners, corners + 3, [](const Corner& p, const Corner& q) { return p.x < q.x; });
  const auto first = draw(corners[0], corners[1], corners[2]);
  EXPECT_GT(written(first), 1000);
  while (std::next_permutation(corners, corners + 3, [](const Corner& p, const Corner& q) { return p.x < q.x; })) {
    EXPECT_EQ(draw(corners[0], corners[1], corners[2]), first);
  }
}

TEST_F(MappedTriangleTest, TextureReadsAreClampedToTheTexture) {
  // Coordinates far outside 0..255 and 0..199 read the border texels, never past the texture.
  const auto frame = draw({10, 10, -100, -50}, {10, 110, -100, 300}, {310, 10, 500, -50});
  EXPECT_EQ(frame[10 * 320 + 10], texel(0, 0));
  EXPECT_EQ(frame[10 * 320 + 300], texel(255, 0));
  EXPECT_EQ(frame[108 * 320 + 10], texel(0, 199));
  EXPECT_GT(written(frame), 10000);
}

TEST_F(MappedTriangleTest, ExtremeInputsAreSafe) {
  // The widest accepted values draw clipped to the screen without overflow.
  auto frame = draw({-32768, -32768, -32768, 32767}, {32767, -32768, 32767, -32768}, {0, 32767, 0, 0});
  EXPECT_GT(written(frame), 0);
  for (int y = 0; y < 200; ++y) EXPECT_EQ(frame[y * 320 + 319], untouched);
  // A sliver whose widest span is a tiny fraction of a pixel, with steep texture coordinates.
  frame = draw({-32768, 0, -32768, -32768}, {-10924, 1, 32767, 32767}, {32765, 3, -32768, 32767});
  frame = draw({-5, 0, -32768, 0}, {-4, 1, 32767, 0}, {-2, 3, 0, 32767});
  // Values beyond 16 bits are refused.
  EXPECT_EQ(written(draw({INT32_MIN, 0, 0, 0}, {INT32_MAX, 100, 0, 0}, {0, INT32_MAX, 0, 0})), 0);
  EXPECT_EQ(written(draw({0, 0, 0, 0}, {0, 100, 0, INT32_MAX}, {100, 0, INT32_MIN, 0})), 0);
  EXPECT_EQ(written(draw({0, 0, 0, 0}, {0, 100, 0, 0}, {32768, 0, 0, 0})), 0);
}

}  // namespace
