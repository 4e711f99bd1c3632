// A small monoline font for the title picture: capitals drawn as round-capped strokes, so
// that a text is a distance field (negative inside) that can be beveled, outlined and made to
// glow at any size.
#pragma once
#include <string>
#include <vector>

namespace splash {

struct Point {
  double x, y;
};

struct Segment {
  Point a, b;
};

// A text laid out in glyph units: cap height 10, baseline y = 0, y up, x from 0.
struct StrokeText {
  std::vector<Segment> segments;
  double width = 0;  // advance of the whole text, without the stroke's half-width
};

// Lays out text (capitals and spaces) with the given extra spacing between letters.
StrokeText layout_text(const std::string& text, double letter_spacing);

// Signed distance from p (glyph units) to the strokes of half-width radius.
double text_distance(const StrokeText& text, Point p, double radius);

}  // namespace splash
