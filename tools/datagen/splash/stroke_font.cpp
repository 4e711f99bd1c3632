// The title picture's monoline font: round-capped strokes as a distance field.
#include "tools/datagen/splash/stroke_font.h"

#include <algorithm>
#include <cmath>

namespace splash {

namespace {

// One glyph: its advance and its strokes as polylines (curves as elliptical arcs).
struct Glyph {
  char letter;
  double advance;
  std::vector<std::vector<Point>> strokes;
};

// Points along an elliptical arc, angles in degrees, counter-clockwise from +x.
std::vector<Point> arc(double cx, double cy, double rx, double ry, double from, double to) {
  std::vector<Point> points;
  constexpr int steps = 24;
  for (int i = 0; i <= steps; ++i) {
    const double t = (from + (to - from) * i / steps) * M_PI / 180.0;
    points.push_back({cx + rx * std::cos(t), cy + ry * std::sin(t)});
  }
  return points;
}

std::vector<Point> join(std::vector<Point> a, const std::vector<Point>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

const std::vector<Glyph>& glyphs() {
  static const std::vector<Glyph> table = {
      {'A', 8.0, {{{0, 0}, {4, 10}, {8, 0}}, {{1.7, 3.6}, {6.3, 3.6}}}},
      {'C', 7.4, {arc(4.2, 5, 4.2, 5, 45, 315)}},
      {'E', 6.4, {{{6.4, 10}, {0, 10}, {0, 0}, {6.4, 0}}, {{0, 5.2}, {5.2, 5.2}}}},
      {'I', 0.0, {{{0, 0}, {0, 10}}}},
      {'K', 7.2, {{{0, 0}, {0, 10}}, {{7.2, 10}, {0.4, 3.6}}, {{2.9, 6.0}, {7.4, 0}}}},
      {'L', 6.2, {{{0, 10}, {0, 0}, {6.2, 0}}}},
      {'N', 7.4, {{{0, 0}, {0, 10}, {7.4, 0}, {7.4, 10}}}},
      {'P', 6.8, {join(join({{0, 0}, {0, 10}, {4.2, 10}}, arc(4.2, 7.5, 2.6, 2.5, 90, -90)), {{0, 5}})}},
      {'R',
       7.0,
       {join(join({{0, 0}, {0, 10}, {4.2, 10}}, arc(4.2, 7.5, 2.6, 2.5, 90, -90)), {{0, 5}}), {{3.6, 5}, {7.0, 0}}}},
      {'S', 6.8, {join(arc(3.4, 7.5, 3.4, 2.5, 20, 270), arc(3.4, 2.5, 3.4, 2.5, 90, -160))}},
      {'T', 8.0, {{{0, 10}, {8, 10}}, {{4, 10}, {4, 0}}}},
      {'W', 10.4, {{{0, 10}, {2.6, 0}, {5.2, 8.2}, {7.8, 0}, {10.4, 10}}}},
  };
  return table;
}

// Pairs whose shapes leave a hole between them at the common spacing.
double kerning(char left, char right) {
  if ((left == 'T' && right == 'A') || (left == 'A' && right == 'T')) return -1.6;
  return 0.0;
}

double segment_distance(const Segment& s, Point p) {
  const double dx = s.b.x - s.a.x, dy = s.b.y - s.a.y;
  const double length2 = dx * dx + dy * dy;
  double t = length2 > 0 ? ((p.x - s.a.x) * dx + (p.y - s.a.y) * dy) / length2 : 0.0;
  t = std::clamp(t, 0.0, 1.0);
  const double ex = p.x - (s.a.x + t * dx), ey = p.y - (s.a.y + t * dy);
  return std::sqrt(ex * ex + ey * ey);
}

}  // namespace

StrokeText layout_text(const std::string& text, double letter_spacing) {
  StrokeText out;
  double pen = 0.0;
  char previous = 0;  // the letter before, ' ' after a space, 0 at the start
  for (char c : text) {
    if (c == ' ') {
      pen += 4.0;
      if (previous != 0) previous = ' ';
      continue;
    }
    const auto& table = glyphs();
    const auto glyph = std::find_if(table.begin(), table.end(), [c](const Glyph& g) { return g.letter == c; });
    if (glyph == table.end()) continue;
    if (previous != 0) pen += letter_spacing + kerning(previous, c);
    previous = c;
    for (const std::vector<Point>& stroke : glyph->strokes) {
      for (size_t i = 0; i + 1 < stroke.size(); ++i) {
        out.segments.push_back({{stroke[i].x + pen, stroke[i].y}, {stroke[i + 1].x + pen, stroke[i + 1].y}});
      }
      if (stroke.size() == 1)
        out.segments.push_back({{stroke[0].x + pen, stroke[0].y}, {stroke[0].x + pen, stroke[0].y}});
    }
    pen += glyph->advance;
  }
  out.width = pen;
  return out;
}

double text_distance(const StrokeText& text, Point p, double radius) {
  double best = 1e9;
  for (const Segment& s : text.segments) best = std::min(best, segment_distance(s, p));
  return best - radius;
}

}  // namespace splash
