// The ball's one-colour triangle filler and the painter's pass over the sorted faces.
#include <algorithm>
#include <cstring>
#include <utility>

#include "scenes/ball/ball_steps.h"
#include "scenes/common/effect.h"

namespace {

// Per-row step of an edge in 16.16. Edges are kept as unsigned 32-bit values that wrap like the
// machine's registers, so stepping is exact and never overflows.
uint32_t edge_step(Vec2 from, Vec2 to) {
  const int64_t step = (int64_t{to.x} - from.x) * 65536 / (int64_t{to.y} - from.y);
  return static_cast<uint32_t>(step);
}

uint32_t edge_start(int32_t x) { return static_cast<uint32_t>(x) << 16; }

// Rows first..last between two edges; rows off the screen are passed over but still step.
void fill_rows(int32_t first, int32_t last, uint32_t* long_edge, uint32_t long_step, uint32_t short_edge,
               uint32_t short_step, uint8_t colour, uint8_t* destination) {
  int64_t y = first;
  if (y < 0) {
    // Skipping the rows above the screen in one go lands exactly where stepping would.
    const uint32_t skipped = static_cast<uint32_t>(std::min<int64_t>(-y, int64_t{last} - y + 1));
    *long_edge += long_step * skipped;
    short_edge += short_step * skipped;
    y += skipped;
  }
  for (; y <= last && y < screen_height; ++y) {
    int32_t left = static_cast<int32_t>(*long_edge);
    int32_t right = static_cast<int32_t>(short_edge);
    if (left > right) std::swap(left, right);
    int32_t xs = left >> 16;
    int32_t xe = right >> 16;
    if (xs <= screen_width - 1 && xe >= 0) {
      if (xs < 0) xs = 0;
      if (xe > screen_width - 1) xe = screen_width - 1;
      std::memset(destination + y * screen_width + xs, colour, static_cast<size_t>(xe - xs + 1));
    }
    *long_edge += long_step;
    short_edge += short_step;
  }
}

}  // namespace

void fill_flat_triangle(const flat_triangle& triangle, uint8_t* destination) {
  Vec2 v0 = {triangle.x0, triangle.y0};
  Vec2 v1 = {triangle.x1, triangle.y1};
  Vec2 v2 = {triangle.x2, triangle.y2};
  // Three compare-exchanges; equal heights exchange too, which decides the edges of flat tops.
  if (v0.y >= v1.y) std::swap(v0, v1);
  if (v0.y >= v2.y) std::swap(v0, v2);
  if (v1.y >= v2.y) std::swap(v1, v2);
  if (v0.y > screen_height - 1 || v2.y < 0 || v2.y == v0.y) return;

  const uint8_t colour = static_cast<uint8_t>(triangle.colour);
  uint32_t long_edge = edge_start(v0.x);
  const uint32_t long_step = edge_step(v0, v2);
  if (v1.y > v0.y) {
    fill_rows(v0.y, v1.y - 1, &long_edge, long_step, edge_start(v0.x), edge_step(v0, v1), colour, destination);
  }
  // The lower part includes the bottom row, so only a flat bottom ends one row early.
  if (v2.y > v1.y) {
    fill_rows(v1.y, v2.y, &long_edge, long_step, edge_start(v1.x), edge_step(v1, v2), colour, destination);
  }
}

void ball_paint_faces(const uint32_t* sorted_keys, int32_t count, const BallFace* faces, const Vec3* view_normals,
                      const Vec2* screen, uint8_t* frame) {
  for (int32_t i = 0; i < count; ++i) {
    const uint32_t f = sorted_keys[i] & 65535u;
    const int32_t colour = ball_face_colour(view_normals[f].z);
    if (colour < 0) continue;
    const Vec2& p = screen[faces[f].p];
    const Vec2& q = screen[faces[f].q];
    const Vec2& r = screen[faces[f].r];
    if (p.x == ball_unprojected || q.x == ball_unprojected || r.x == ball_unprojected) continue;
    fill_flat_triangle({p.x, p.y, q.x, q.y, r.x, r.y, colour}, frame);
  }
}
