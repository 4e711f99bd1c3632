// The sphere's filler at its edges: rows drawn, apex, flat tops and bottoms.
#include "scenes/sphere/shaded_triangle.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

namespace {

constexpr uint8_t untouched = 0xEE;

// Buffers of exactly the sizes the filler may touch, so that the sanitizer sees any stray access.
struct Canvas {
  std::vector<uint8_t> frame = std::vector<uint8_t>(64000, untouched);
  std::vector<uint8_t> texture = std::vector<uint8_t>(65536);
  std::vector<uint8_t> shade = std::vector<uint8_t>(64 * 256);

  Canvas() {
    // Texel (u, v) = u + 7 v, and shade row l passes the texel through: pixels read back u.
    for (int v = 0; v < 256; ++v)
      for (int u = 0; u < 256; ++u) texture[v * 256 + u] = static_cast<uint8_t>(u + 7 * v);
    show_texels();
  }
  void show_texels() {
    for (int l = 0; l < 64; ++l)
      for (int t = 0; t < 256; ++t) shade[l * 256 + t] = static_cast<uint8_t>(t);
  }
  void show_light() {
    for (int l = 0; l < 64; ++l)
      for (int t = 0; t < 256; ++t) shade[l * 256 + t] = static_cast<uint8_t>(l);
  }
  void draw(const ShadedVertex& a, const ShadedVertex& b, const ShadedVertex& c) {
    draw_shaded_triangle(frame.data(), a, b, c, texture.data(), shade.data());
  }
  uint8_t at(int x, int y) const { return frame[y * 320 + x]; }
  // Columns of row y that were written, as [first, end); {0, 0} when none.
  std::pair<int, int> span(int y) const {
    int first = -1, end = 0;
    for (int x = 0; x < 320; ++x) {
      if (at(x, y) == untouched) continue;
      if (first < 0) first = x;
      end = x + 1;
    }
    return first < 0 ? std::pair<int, int>{0, 0} : std::pair<int, int>{first, end};
  }
  int rows_written() const {
    int rows = 0;
    for (int y = 0; y < 200; ++y) rows += span(y).second > 0;
    return rows;
  }
};

ShadedVertex at_xy(int x, int y) { return ShadedVertex{x, y, 0, 0, 0}; }

}  // namespace

TEST(ShadedTriangle, HeightOneDrawsOneRowAndNeverTheBottomRow) {
  Canvas c;
  c.draw(at_xy(10, 5), at_xy(20, 5), at_xy(10, 6));
  EXPECT_EQ(c.rows_written(), 1);
  EXPECT_EQ(c.span(5), (std::pair<int, int>{10, 20}));
}

TEST(ShadedTriangle, ApexRowDrawsNothing) {
  Canvas c;
  c.draw(at_xy(50, 10), at_xy(40, 20), at_xy(60, 20));
  EXPECT_EQ(c.span(10), (std::pair<int, int>{0, 0}));
  EXPECT_EQ(c.span(20), (std::pair<int, int>{0, 0}));
  EXPECT_EQ(c.span(15), (std::pair<int, int>{45, 55}));
  EXPECT_EQ(c.rows_written(), 9);
}

TEST(ShadedTriangle, FlatTopAndFlatBottomDrawFromOnePart) {
  Canvas top;
  top.draw(at_xy(0, 0), at_xy(20, 0), at_xy(10, 10));
  Canvas bottom;
  bottom.draw(at_xy(10, 0), at_xy(0, 10), at_xy(20, 10));
  for (int y = 0; y < 10; ++y) {
    EXPECT_EQ(top.span(y), (std::pair<int, int>{y, 20 - y})) << "row " << y;
    if (y > 0) {
      EXPECT_EQ(bottom.span(y), (std::pair<int, int>{10 - y, 10 + y})) << "row " << y;
    }
  }
  EXPECT_EQ(top.rows_written(), 10);
  EXPECT_EQ(bottom.rows_written(), 9);
}

TEST(ShadedTriangle, DegenerateAndOffscreenTrianglesDrawNothing) {
  Canvas c;
  c.draw(at_xy(0, 50), at_xy(100, 50), at_xy(200, 50));     // all on one row
  c.draw(at_xy(0, 0), at_xy(50, 50), at_xy(100, 100));      // zero width at the middle row
  c.draw(at_xy(0, 200), at_xy(100, 250), at_xy(50, 300));   // below the screen
  c.draw(at_xy(0, -300), at_xy(100, -1), at_xy(50, -100));  // above the screen (row -1 is last)
  c.draw(at_xy(-500, 0), at_xy(-1, 0), at_xy(-250, 100));   // left of the screen
  c.draw(at_xy(320, 0), at_xy(400, 0), at_xy(360, 100));    // right of the screen
  EXPECT_EQ(c.rows_written(), 0);
}

TEST(ShadedTriangle, SpanPastTheRightBorderStopsAtColumn318) {
  Canvas c;
  c.draw(at_xy(300, 0), at_xy(1000, 0), at_xy(300, 50));
  EXPECT_EQ(c.span(0), (std::pair<int, int>{300, 319}));
  for (int y = 0; y < 200; ++y) EXPECT_EQ(c.at(319, y), untouched);
  Canvas wide;
  wide.draw(at_xy(-32768, -32768), at_xy(32767, -32768), at_xy(0, 32767));
  for (int y = 0; y < 200; ++y) {
    EXPECT_EQ(wide.span(y), (std::pair<int, int>{0, 319})) << "row " << y;
  }
}

TEST(ShadedTriangle, TopAboveTheScreenStartsAtRowZeroWithAdvancedEdges) {
  Canvas c;
  c.draw(at_xy(0, -10), at_xy(40, -10), at_xy(0, 10));
  // The right edge runs 40 -> 0 over 20 rows: at row 0 it has reached 20.
  EXPECT_EQ(c.span(0), (std::pair<int, int>{0, 20}));
  EXPECT_EQ(c.span(9), (std::pair<int, int>{0, 2}));
  EXPECT_EQ(c.rows_written(), 10);
}

TEST(ShadedTriangle, LeftClipAdvancesTextureAndLightExactly) {
  // Along a row u rises one texel and the light a quarter level per pixel; the left edge lies
  // at x = -100 with u = 0 and light 0.
  const ShadedVertex a{-100, 0, 0, 0, 0};
  const ShadedVertex b{100, 0, 50, 200, 0};
  const ShadedVertex c{-100, 100, 0, 0, 100};
  Canvas texels;
  texels.draw(a, b, c);
  Canvas light;
  light.show_light();
  light.draw(a, b, c);
  for (int x : {0, 1, 10, 57, 99}) {
    EXPECT_EQ(texels.at(x, 0), 100 + x) << "column " << x;
    EXPECT_EQ(light.at(x, 0), 25 + x / 4) << "column " << x;
  }
  EXPECT_EQ(texels.span(0), (std::pair<int, int>{0, 100}));
  // Row 25: the left edge has v 25, the right edge has come in to x = 50.
  EXPECT_EQ(texels.at(0, 25), static_cast<uint8_t>(100 + 7 * 25));
  EXPECT_EQ(light.at(0, 25), 25);
  EXPECT_EQ(texels.span(25), (std::pair<int, int>{0, 50}));
}

TEST(ShadedTriangle, TextureCoordinatesWrapModulo256) {
  Canvas c;
  // u = -22 at the left edge (texel column 234), v = 256 (texel row 0), one texel per pixel.
  c.draw(ShadedVertex{0, 0, 0, -22, 256}, ShadedVertex{10, 0, 0, -12, 256}, ShadedVertex{0, 10, 0, -22, 266});
  EXPECT_EQ(c.at(0, 0), 234);
  EXPECT_EQ(c.at(1, 0), 235);
  EXPECT_EQ(c.at(0, 1), static_cast<uint8_t>(234 + 7));
}

TEST(ShadedTriangle, LightRowIsClampedToTheTable) {
  // A steep light gradient, extrapolated by the left clip, reaches far beyond 0..63.
  Canvas c;
  c.show_light();
  c.draw(ShadedVertex{-300, 0, 0, 0, 0}, ShadedVertex{300, 0, 63, 0, 0}, ShadedVertex{-300, 40, 63, 0, 0});
  c.draw(ShadedVertex{-30000, 100, 63, 0, 0}, ShadedVertex{-29000, 100, 0, 0, 0}, ShadedVertex{32000, 199, 0, 0, 0});
  for (int y = 0; y < 200; ++y)
    for (int x = 0; x < 320; ++x)
      if (c.at(x, y) != untouched) {
        ASSERT_LE(c.at(x, y), 63);
      }
  EXPECT_EQ(c.at(0, 0), 31);  // 63 * 300 / 600, truncated
}

TEST(ShadedTriangle, ExtremeCoordinatesStayInsideTheBuffers) {
  std::mt19937 random(20240501);
  std::uniform_int_distribution<int> coordinate(-32768, 32767);
  std::uniform_int_distribution<int> near(-400, 600);
  std::uniform_int_distribution<int> level(0, 63);
  Canvas c;
  for (int i = 0; i < 3000; ++i) {
    ShadedVertex v[3];
    for (ShadedVertex& p : v) {
      const bool wild = (i % 3) == 0;
      p = ShadedVertex{wild ? coordinate(random) : near(random), wild ? coordinate(random) : near(random),
                       level(random), coordinate(random), coordinate(random)};
    }
    c.draw(v[0], v[1], v[2]);
  }
  for (int y = 0; y < 200; ++y) EXPECT_EQ(c.at(319, y), untouched);
}
