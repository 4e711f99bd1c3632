// The feedback quad's affine texture-mapping triangle filler.
#include <algorithm>
#include <utility>

#include "scenes/common/effect.h"
#include "scenes/common/span_clip.h"
#include "scenes/feedback/feedback.h"

namespace {

constexpr int64_t fixed_one = 65536;
constexpr int64_t min_span_width = 4096;  // 1/16 pixel in 16.16
constexpr int64_t texture_u_end = 256 * fixed_one;
constexpr int64_t texture_v_end = mapped_texture_rows * fixed_one;

// Positions and texture coordinates in whole units. All arithmetic below is done in 64 bits:
// with 16-bit inputs no product reaches 2^53, and where 32 bits suffice the results are the same.
struct Vertex {
  int64_t x, y, u, v;
};

// One edge in 16.16, stepped one row at a time; u and v are used when it is the left edge.
struct Edge {
  int64_t x, x_step, u, u_step, v, v_step;
};

Edge make_edge(const Vertex& a, const Vertex& b) {
  const int64_t height = b.y - a.y;
  return {a.x * fixed_one, (b.x - a.x) * fixed_one / height, a.u * fixed_one, (b.u - a.u) * fixed_one / height,
          a.v * fixed_one, (b.v - a.v) * fixed_one / height};
}

// Moving by n rows at once gives exactly what n single steps give.
void advance(Edge& edge, int64_t rows) {
  edge.x += edge.x_step * rows;
  edge.u += edge.u_step * rows;
  edge.v += edge.v_step * rows;
}

int64_t clamp(int64_t value, int64_t low, int64_t high) { return value < low ? low : value > high ? high : value; }

struct Gradient {
  int64_t du, dv;
};

// Columns xl >> 16 up to, not including, xr >> 16 (never past 318) of one row.
void draw_span(uint8_t* row, const uint8_t* texture, int64_t xl, int64_t xr, int64_t u, int64_t v, const Gradient& g) {
  const SpanColumns span = fx_clip_span(xl >> 16, xr >> 16);
  if (span.count == 0) return;
  u += g.du * span.hidden;
  v += g.dv * span.hidden;
  const int64_t count = span.count;
  uint8_t* out = row + span.first;
  // u and v are linear along the span: when both ends lie inside the texture, every pixel does.
  const int64_t u_last = u + g.du * (count - 1);
  const int64_t v_last = v + g.dv * (count - 1);
  if (std::min(u, u_last) >= 0 && std::max(u, u_last) < texture_u_end && std::min(v, v_last) >= 0 &&
      std::max(v, v_last) < texture_v_end) {
    for (int64_t k = 0; k < count; ++k) {
      out[k] = texture[(v >> 16) * 256 + (u >> 16)];
      u += g.du;
      v += g.dv;
    }
    return;
  }
  for (int64_t k = 0; k < count; ++k) {
    out[k] = texture[clamp(v >> 16, 0, mapped_texture_rows - 1) * 256 + clamp(u >> 16, 0, 255)];
    u += g.du;
    v += g.dv;
  }
}

// Rows first..end-1 between the long edge (which starts at row long_top) and one short edge.
void draw_part(uint8_t* destination, const uint8_t* texture, const Edge& long_edge, int64_t long_top, const Vertex& a,
               const Vertex& b, bool long_is_left, const Gradient& g) {
  if (b.y == a.y) return;
  const int64_t first = std::max<int64_t>(a.y, 0);
  const int64_t end = std::min<int64_t>(b.y, screen_height);
  if (first >= end) return;
  Edge long_side = long_edge;
  Edge short_side = make_edge(a, b);
  advance(long_side, first - long_top);
  advance(short_side, first - a.y);
  Edge& left = long_is_left ? long_side : short_side;
  Edge& right = long_is_left ? short_side : long_side;
  for (int64_t y = first; y < end; ++y) {
    draw_span(destination + y * screen_width, texture, left.x, right.x, left.u, left.v, g);
    advance(left, 1);
    advance(right, 1);
  }
}

bool in_accepted_range(int32_t value) { return value >= mapped_coordinate_min && value <= mapped_coordinate_max; }

}  // namespace

void draw_mapped_triangle(const mapped_triangle& triangle, uint8_t* destination) {
  const mapped_triangle& m = triangle;
  for (int32_t value : {m.x0, m.y0, m.x1, m.y1, m.x2, m.y2, m.u0, m.v0, m.u1, m.v1, m.u2, m.v2}) {
    if (!in_accepted_range(value)) return;
  }
  Vertex p0{m.x0, m.y0, m.u0, m.v0};
  Vertex p1{m.x1, m.y1, m.u1, m.v1};
  Vertex p2{m.x2, m.y2, m.u2, m.v2};
  // Three compare-exchanges that also exchange equal rows: the order decides W's sign for flat tops.
  if (p0.y >= p1.y) std::swap(p0, p1);
  if (p0.y >= p2.y) std::swap(p0, p2);
  if (p1.y >= p2.y) std::swap(p1, p2);
  if (p0.y > screen_height - 1 || p2.y < 0 || p2.y == p0.y) return;

  // The widest span, at the middle vertex's row, gives gradients for the whole triangle.
  const int64_t t = (p1.y - p0.y) * fixed_one / (p2.y - p0.y);
  int64_t w = t * (p2.x - p0.x) + (p0.x - p1.x) * fixed_one;
  if (w == 0) return;
  if (w > 0 && w < min_span_width) w = min_span_width;
  if (w < 0 && w > -min_span_width) w = -min_span_width;
  const Gradient g{(t * (p2.u - p0.u) + (p0.u - p1.u) * fixed_one) * fixed_one / w,
                   (t * (p2.v - p0.v) + (p0.v - p1.v) * fixed_one) * fixed_one / w};

  const Edge long_edge = make_edge(p0, p2);
  const bool long_is_left = w < 0;
  draw_part(destination, m.texture, long_edge, p0.y, p0, p1, long_is_left, g);
  draw_part(destination, m.texture, long_edge, p0.y, p1, p2, long_is_left, g);
}
