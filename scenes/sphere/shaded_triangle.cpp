// The sphere's filler: affine-textured, Gouraud-lit triangles through the shade table.
#include "scenes/sphere/shaded_triangle.h"

#include <utility>

#include "scenes/common/effect.h"
#include "scenes/common/span_clip.h"

// Fixed point: edge x and attributes 16.16, u and v along a span 8.8, light along a span 16.16.
// Screen coordinates may be anywhere in -32768..32767, so every shifted difference and product
// is taken in 64 bits; where 32 bits would have sufficed the results are the same.
namespace {

constexpr int64_t last_row = screen_height - 1;
constexpr int64_t min_width = 4096;  // 1/16 pixel keeps the gradient divisions in range
constexpr int64_t light_end = int64_t{64} << 16;

// One triangle edge, stepped once per row. Only the left edge's attributes are used.
struct Edge {
  int64_t x, dx;
  int64_t u, du;
  int64_t v, dv;
  int64_t l, dl;
};

// Per-pixel steps along a span: u and v in 8.8, light in 16.16.
struct SpanSteps {
  int64_t du, dv, dl;
};

int64_t edge_step(int32_t from, int32_t to, int64_t rows) { return ((int64_t{to} - from) << 16) / rows; }

Edge start_edge(const ShadedVertex& from, const ShadedVertex& to) {
  const int64_t rows = int64_t{to.y} - from.y;  // the caller skips empty parts
  return Edge{int64_t{from.x} << 16,     edge_step(from.x, to.x, rows),
              int64_t{from.u} << 16,     edge_step(from.u, to.u, rows),
              int64_t{from.v} << 16,     edge_step(from.v, to.v, rows),
              int64_t{from.light} << 16, edge_step(from.light, to.light, rows)};
}

void advance_edge(Edge& e, int64_t rows) {
  e.x += e.dx * rows;
  e.u += e.du * rows;
  e.v += e.dv * rows;
  e.l += e.dl * rows;
}

void draw_span(uint8_t* row, const Edge& left, const Edge& right, const SpanSteps& steps, const uint8_t* texture,
               const uint8_t* shade) {
  const SpanColumns span = fx_clip_span(left.x >> 16, right.x >> 16);
  if (span.count == 0) return;
  const int64_t u = (left.u >> 8) + steps.du * span.hidden;
  const int64_t v = (left.v >> 8) + steps.dv * span.hidden;
  int64_t l = left.l + steps.dl * span.hidden;
  const int64_t count = span.count;
  uint8_t* out = row + span.first;
  // Only bits 8..15 of u and v pick a texel, so they may wrap modulo 2^32.
  uint32_t uu = static_cast<uint32_t>(u);
  uint32_t vv = static_cast<uint32_t>(v);
  const uint32_t du = static_cast<uint32_t>(steps.du);
  const uint32_t dv = static_cast<uint32_t>(steps.dv);
  const int64_t l_last = l + steps.dl * (count - 1);
  if (l >= 0 && l < light_end && l_last >= 0 && l_last < light_end) {
    // The light is linear along the span: both ends in range keep every pixel in range.
    int32_t ll = static_cast<int32_t>(l);
    const int32_t dl = static_cast<int32_t>(steps.dl);
    for (int64_t i = 0; i < count; ++i) {
      const uint32_t texel = texture[((vv >> 8) & 255) << 8 | ((uu >> 8) & 255)];
      out[i] = shade[(static_cast<uint32_t>(ll) >> 16) << 8 | texel];
      uu += du;
      vv += dv;
      ll += dl;
    }
    return;
  }
  for (int64_t i = 0; i < count; ++i) {
    const uint32_t texel = texture[((vv >> 8) & 255) << 8 | ((uu >> 8) & 255)];
    int64_t level = l >> 16;
    if (level < 0) level = 0;
    if (level > 63) level = 63;
    out[i] = shade[level << 8 | texel];
    uu += du;
    vv += dv;
    l += steps.dl;
  }
}

// Rows y_begin .. y_end - 1 of one part; both edges advance after every row, drawn or not.
void fill_rows(uint8_t* frame, int64_t y_begin, int64_t y_end, Edge& left, Edge& right, const SpanSteps& steps,
               const uint8_t* texture, const uint8_t* shade) {
  int64_t y = y_begin;
  if (y < 0) {
    const int64_t skipped = (y_end < 0 ? y_end : 0) - y;
    advance_edge(left, skipped);
    advance_edge(right, skipped);
    y += skipped;
  }
  for (; y < y_end && y <= last_row; ++y) {
    draw_span(frame + y * screen_width, left, right, steps, texture, shade);
    advance_edge(left, 1);
    advance_edge(right, 1);
  }
}

// Rows from.y .. to.y - 1 between the long edge and the short edge from..to. The left edge
// carries the attributes; after the top part the long edge has stepped on to the middle row.
void fill_part(uint8_t* frame, const ShadedVertex& from, const ShadedVertex& to, Edge& long_edge, bool long_is_left,
               const SpanSteps& steps, const uint8_t* texture, const uint8_t* shade) {
  if (to.y <= from.y || from.y > last_row) return;
  Edge short_edge = start_edge(from, to);
  fill_rows(frame, from.y, to.y, long_is_left ? long_edge : short_edge, long_is_left ? short_edge : long_edge, steps,
            texture, shade);
}

}  // namespace

void draw_shaded_triangle(uint8_t* frame, const ShadedVertex& a, const ShadedVertex& b, const ShadedVertex& c,
                          const uint8_t* texture, const uint8_t* shade) {
  // Three compare-exchanges; equal y exchanges too, which fixes the roles on flat edges.
  const ShadedVertex* p[3] = {&a, &b, &c};
  if (p[0]->y >= p[1]->y) std::swap(p[0], p[1]);
  if (p[0]->y >= p[2]->y) std::swap(p[0], p[2]);
  if (p[1]->y >= p[2]->y) std::swap(p[1], p[2]);
  const ShadedVertex& v0 = *p[0];
  const ShadedVertex& v1 = *p[1];
  const ShadedVertex& v2 = *p[2];
  if (v0.y > last_row || v2.y < 0 || v2.y == v0.y) return;

  // t: how far down the long edge the middle row lies; w: the middle row's width (16.16).
  const int64_t t = ((int64_t{v1.y} - v0.y) << 16) / (int64_t{v2.y} - v0.y);
  int64_t w = t * (int64_t{v2.x} - v0.x) + ((int64_t{v0.x} - v1.x) << 16);
  if (w == 0) return;
  if (w > 0 && w < min_width) w = min_width;
  if (w < 0 && w > -min_width) w = -min_width;
  const auto gradient = [&](int32_t a0, int32_t a1, int32_t a2) {
    const int64_t across = t * (int64_t{a2} - a0) + ((int64_t{a0} - a1) << 16);
    return across * 65536 / w;
  };
  const SpanSteps steps{gradient(v0.u, v1.u, v2.u) >> 8, gradient(v0.v, v1.v, v2.v) >> 8,
                        gradient(v0.light, v1.light, v2.light)};

  Edge long_edge = start_edge(v0, v2);
  const bool long_is_left = w < 0;
  fill_part(frame, v0, v1, long_edge, long_is_left, steps, texture, shade);
  fill_part(frame, v1, v2, long_edge, long_is_left, steps, texture, shade);
}
