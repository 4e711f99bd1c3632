// The ball's flat filler at its edges: which rows and pixels a face paints.
#include <gtest/gtest.h>

#include <vector>

#include "scenes/ball/ball.h"
#include "scenes/ball/ball_steps.h"
#include "scenes/common/depth_sort.h"

namespace {

struct Span {
  int first = -1, last = -1;  // columns painted in a row, -1 when none
};

std::vector<uint8_t> fill(const flat_triangle& t) {
  std::vector<uint8_t> frame(64000, 0);
  fill_flat_triangle(t, frame.data());
  return frame;
}

// The painted run of a row; fails the test when the row's paint is not one run.
Span span_of(const std::vector<uint8_t>& frame, int row) {
  Span s;
  for (int x = 0; x < 320; ++x) {
    if (frame[row * 320 + x] == 0) continue;
    if (s.first < 0) s.first = x;
    EXPECT_EQ(s.last < 0 || s.last == x - 1, true) << "row " << row << " has a gap";
    s.last = x;
  }
  return s;
}

std::vector<int> painted_rows(const std::vector<uint8_t>& frame) {
  std::vector<int> rows;
  for (int y = 0; y < 200; ++y)
    if (span_of(frame, y).first >= 0) rows.push_back(y);
  return rows;
}

// A flat top includes its bottom row (the lowest vertex's own pixel); a flat bottom ends one row
// early.
TEST(BallFill, AFlatBottomEndsOneRowEarly) {
  const struct {
    flat_triangle triangle;
    int top, bottom;
    Span top_span, bottom_span;
  } cases[] = {
      {{10, 10, 20, 10, 10, 20, 7}, 10, 20, {10, 20}, {10, 10}},
      {{10, 10, 0, 20, 20, 20, 9}, 10, 19, {10, 10}, {1, 19}},
  };
  for (const auto& c : cases) {
    const auto frame = fill(c.triangle);
    const auto rows = painted_rows(frame);
    ASSERT_EQ(rows.size(), static_cast<size_t>(c.bottom - c.top + 1)) << c.top;
    EXPECT_EQ(rows.front(), c.top);
    EXPECT_EQ(rows.back(), c.bottom);
    EXPECT_EQ(span_of(frame, c.top).first, c.top_span.first);
    EXPECT_EQ(span_of(frame, c.top).last, c.top_span.last);
    EXPECT_EQ(span_of(frame, c.bottom).first, c.bottom_span.first);
    EXPECT_EQ(span_of(frame, c.bottom).last, c.bottom_span.last);
    EXPECT_EQ(frame[15 * 320 + 12], c.triangle.colour) << "filled with the colour";
  }
}

TEST(BallFill, VertexOrderDoesNotChangeTheTriangle) {
  const auto a = fill({30, 5, 90, 60, 10, 120, 3});
  EXPECT_EQ(a, fill({10, 120, 30, 5, 90, 60, 3}));
  EXPECT_EQ(a, fill({90, 60, 10, 120, 30, 5, 3}));
  // A general triangle includes its bottom row: the lowest vertex's own pixel.
  EXPECT_EQ(painted_rows(a).back(), 120);
  EXPECT_EQ(span_of(a, 120).first, 10);
  EXPECT_EQ(span_of(a, 120).last, 10);
}

TEST(BallFill, ClipsAtBothSides) {
  const auto right = fill({300, 50, 400, 50, 300, 60, 5});
  EXPECT_EQ(span_of(right, 50).first, 300);
  EXPECT_EQ(span_of(right, 50).last, 319);
  EXPECT_EQ(right[51 * 320], 0) << "no wrap into the next row";
  const auto left = fill({-50, 50, 10, 50, -50, 60, 5});
  EXPECT_EQ(span_of(left, 50).first, 0);
  EXPECT_EQ(span_of(left, 50).last, 10);
  EXPECT_EQ(left[49 * 320 + 319], 0) << "no wrap into the row above";
  // Wholly off to either side: nothing.
  EXPECT_TRUE(painted_rows(fill({320, 10, 400, 10, 330, 40, 5})).empty());
  EXPECT_TRUE(painted_rows(fill({-40, 10, -1, 10, -30, 40, 5})).empty());
}

TEST(BallFill, ClipsAtTopAndBottomWithTheSameEdges) {
  // Rows off the screen still step the edges: the visible part matches the unclipped shape.
  const auto whole = fill({0, 0, 200, 100, 40, 199, 4});
  const auto shifted = fill({0, -100, 200, 0, 40, 99, 4});
  for (int y = 0; y < 100; ++y) {
    EXPECT_EQ(span_of(shifted, y).first, span_of(whole, y + 100).first) << y;
    EXPECT_EQ(span_of(shifted, y).last, span_of(whole, y + 100).last) << y;
  }
  // Entering the screen halfway down the upper part.
  const auto high = fill({5, -37, 250, 120, 60, 180, 4});
  const auto low = fill({5, 0, 250, 157, 60, 217, 4});
  for (int y = 0; y + 37 < 200; ++y) {
    EXPECT_EQ(span_of(high, y).first, span_of(low, y + 37).first) << y;
    EXPECT_EQ(span_of(high, y).last, span_of(low, y + 37).last) << y;
  }
  EXPECT_EQ(painted_rows(fill({0, 150, 200, 250, 40, 349, 4})).back(), 199);
  EXPECT_TRUE(painted_rows(fill({0, 200, 200, 300, 40, 349, 4})).empty());
  EXPECT_TRUE(painted_rows(fill({0, -90, 200, -50, 40, -1, 4})).empty());
}

TEST(BallFill, DegenerateAndHugeTrianglesAreSafe) {
  EXPECT_TRUE(painted_rows(fill({10, 50, 100, 50, 200, 50, 5})).empty()) << "zero height";
  const auto huge = fill({-30000, -30000, 30000, 0, -30000, 30000, 6});
  EXPECT_EQ(painted_rows(huge).size(), 200u);
  EXPECT_EQ(span_of(huge, 100).first, 0);
  EXPECT_EQ(span_of(huge, 100).last, 319);
  // Far beyond anything a projection gives: no overflow and no endless row loop (the sanitizers
  // and the time limit watch this one).
  fill({-2000000000, -2000000000, 2000000000, 0, -2000000000, 2000000000, 6});
  fill({INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, INT32_MIN, INT32_MAX, 6});
}

TEST(BallFill, DrawsTheLowEightBitsOfTheColour) {
  const auto frame = fill({0, 0, 10, 0, 0, 10, 0x1ff});
  EXPECT_EQ(frame[2 * 320 + 2], 0xff);
}

// Painter's pass over hand-made faces: two triangles over the same pixels.
struct TwoFaces {
  BallFace faces[2] = {{0, 1, 2}, {0, 1, 2}};
  Vec3 normals[2] = {{0, 0, 100}, {0, 0, 200}};
  Vec2 screen[3] = {{10, 10}, {60, 10}, {10, 60}};
  std::vector<uint8_t> frame = std::vector<uint8_t>(64000, 0);
  uint8_t centre() const { return frame[20 * 320 + 20]; }
};

TEST(BallPaint, ColourIsTheNormalsZCappedAt250) {
  EXPECT_EQ(ball_face_colour(0), 0);
  EXPECT_EQ(ball_face_colour(-1), -1);
  EXPECT_EQ(ball_face_colour(250), 250);
  EXPECT_EQ(ball_face_colour(256), 250);

  TwoFaces t;
  const uint32_t key = 0;  // face 0 alone
  t.frame.assign(64000, 77);
  t.normals[0].z = 0;
  ball_paint_faces(&key, 1, t.faces, t.normals, t.screen, t.frame.data());
  EXPECT_EQ(t.centre(), 0) << "z 0 still faces the viewer: drawn black";
  t.frame.assign(64000, 77);
  t.normals[0].z = -1;
  ball_paint_faces(&key, 1, t.faces, t.normals, t.screen, t.frame.data());
  EXPECT_EQ(t.centre(), 77) << "z -1 looks away: not drawn";
  t.normals[0].z = 256;
  ball_paint_faces(&key, 1, t.faces, t.normals, t.screen, t.frame.data());
  EXPECT_EQ(t.centre(), 250);
}

TEST(BallPaint, EqualDepthsDrawInFaceOrder) {
  TwoFaces t;
  const Vec3 view[3] = {{0, 0, 100}, {0, 0, 100}, {0, 0, 100}};
  uint32_t keys[2], partner[2];
  ball_depth_keys(t.faces, 2, view, keys);
  depth_sort(keys, partner, 2);
  EXPECT_EQ(keys[0], (300u << 16) | 0);
  EXPECT_EQ(keys[1], (300u << 16) | 1);
  ball_paint_faces(keys, 2, t.faces, t.normals, t.screen, t.frame.data());
  EXPECT_EQ(t.centre(), 200) << "the higher index ends on top";
}

TEST(BallPaint, FartherFacesAreDrawnFirst) {
  TwoFaces t;
  t.faces[1] = {3, 4, 5};
  const Vec3 view[6] = {{0, 0, 50}, {0, 0, 50}, {0, 0, 50}, {0, 0, 90}, {0, 0, 90}, {0, 0, 90}};
  const Vec2 screen[6] = {{10, 10}, {60, 10}, {10, 60}, {10, 10}, {60, 10}, {10, 60}};
  uint32_t keys[2], partner[2];
  ball_depth_keys(t.faces, 2, view, keys);
  depth_sort(keys, partner, 2);
  ball_paint_faces(keys, 2, t.faces, t.normals, screen, t.frame.data());
  EXPECT_EQ(t.centre(), 100) << "face 0 is nearer, so it is drawn last";
}

TEST(BallPaint, AVertexBehindTheViewerRemovesItsFaces) {
  TwoFaces t;
  t.faces[1] = {0, 1, 3};
  Vec2 screen[4] = {{10, 10}, {60, 10}, {10, 60}, {}};
  screen[3] = ball_project({5, 5, 0});
  EXPECT_EQ(screen[3].x, ball_unprojected);
  const uint32_t keys[2] = {0, 1};
  ball_paint_faces(keys, 2, t.faces, t.normals, screen, t.frame.data());
  EXPECT_EQ(t.centre(), 100) << "face 1 uses the unprojected vertex: left out";
}

}  // namespace
