// The lattice's line drawer: clipped to the frame, OR-ing one colour, integer error term.
#include <algorithm>
#include <cstdlib>
#include <utility>

#include "scenes/common/effect.h"
#include "scenes/lattice/lattice.h"

namespace {

constexpr int32_t last_column = screen_width - 1;
constexpr int32_t last_row = screen_height - 1;

// v0 + (v1 - v0) * num / den with a 64-bit product, truncating toward zero.
int32_t along(int32_t v0, int32_t v1, int64_t num, int64_t den) {
  return static_cast<int32_t>(v0 + (static_cast<int64_t>(v1) - v0) * num / den);
}

bool outside_rows(int32_t y) { return y < 0 || y > last_row; }

// Pixels x1 .. x2-1 of row y, after clamping to the frame.
void horizontal_span(uint8_t* frame, int32_t x1, int32_t x2, int32_t y, uint8_t colour) {
  x1 = std::max(x1, 0);
  x2 = std::min(x2, last_column);
  for (int32_t x = x1; x < x2; ++x) frame[y * screen_width + x] |= colour;
}

// Rows y1 .. y2-1 of column x (in either order), after clamping to the frame.
void vertical_span(uint8_t* frame, int32_t x, int32_t y1, int32_t y2, uint8_t colour) {
  if (y1 > y2) std::swap(y1, y2);
  y1 = std::max(y1, 0);
  y2 = std::min(y2, last_row);
  for (int32_t y = y1; y < y2; ++y) frame[y * screen_width + x] |= colour;
}

}  // namespace

void draw_line_or(uint8_t* frame, Vec2 a, Vec2 b, uint8_t colour) {
  if (a.x > b.x) std::swap(a, b);
  int32_t x1 = a.x, y1 = a.y, x2 = b.x, y2 = b.y;
  if (x2 < 0 || x1 > last_column || std::max(y1, y2) < 0 || std::min(y1, y2) > last_row) return;
  if (x1 == x2) return vertical_span(frame, x1, y1, y2, colour);
  if (y1 == y2) return horizontal_span(frame, x1, x2, y1, colour);

  // Clip against the left and right edges; the line is given up when it then enters from
  // above or below.
  if (x1 < 0) {
    y1 = along(y1, y2, -static_cast<int64_t>(x1), static_cast<int64_t>(x2) - x1);
    x1 = 0;
    if (outside_rows(y1)) return;
  }
  if (x2 > last_column) {
    y2 = along(y1, y2, last_column - x1, static_cast<int64_t>(x2) - x1);
    x2 = last_column;
    if (outside_rows(y2)) return;
  }
  // Clip against the top and bottom edges.
  if (y1 >= y2) {
    if (y2 < 0) {
      x2 = along(x1, x2, y1, static_cast<int64_t>(y1) - y2);
      y2 = 0;
      if (x2 < 0) return;
    }
    if (y1 > last_row) {
      x1 = along(x1, x2, y1 - last_row, static_cast<int64_t>(y1) - y2);
      y1 = last_row;
      if (x1 > last_column) return;
    }
  } else {
    if (y1 < 0) {
      x1 = along(x1, x2, -static_cast<int64_t>(y1), static_cast<int64_t>(y2) - y1);
      y1 = 0;
      if (x1 > last_column) return;
    }
    if (y2 > last_row) {
      x2 = along(x1, x2, last_row - y1, static_cast<int64_t>(y2) - y1);
      y2 = last_row;
      if (x2 < 0) return;
    }
  }
  if (x1 == x2) return vertical_span(frame, x1, y1, y2, colour);
  if (y1 == y2) return horizontal_span(frame, x1, x2, y1, colour);

  // Both ends now lie inside the frame. The major coordinate rises by one per pixel; the minor
  // one steps whenever the error has reached the major length.
  const int32_t dx = std::abs(x2 - x1), dy = std::abs(y2 - y1);
  int32_t major_step, minor_step, major, minor;
  if (dx >= dy) {
    if (x1 > x2) {
      std::swap(x1, x2);
      std::swap(y1, y2);
    }
    major_step = 1;
    minor_step = y2 >= y1 ? screen_width : -screen_width;
    major = dx;
    minor = dy;
  } else {
    if (y1 > y2) {
      std::swap(x1, x2);
      std::swap(y1, y2);
    }
    major_step = screen_width;
    minor_step = x2 >= x1 ? 1 : -1;
    major = dy;
    minor = dx;
  }
  int32_t at = y1 * screen_width + x1;
  int32_t error = 0;
  for (int32_t i = 0; i < major; ++i) {
    if (error >= major) {
      error -= major;
      at += minor_step;
    }
    frame[at] |= colour;
    at += major_step;
    error += minor;
  }
}
