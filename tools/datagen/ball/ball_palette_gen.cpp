// The ball's palette: black through green and teal to white, rising steeply over the last
// fifteen entries. Each component is a monotone cubic through fixed anchors (it never overshoots,
// so every component is non-decreasing), then clamped so that green >= blue >= red everywhere.
#include <algorithm>
#include <cmath>

#include "tools/datagen/ball/ball_data_gen.h"

namespace datagen {

namespace {

struct Anchor {
  int index;
  double value;
};

// Fritsch-Carlson monotone cubic through the anchors, evaluated at every index 0..255.
void monotone_curve(const std::vector<Anchor>& a, double out[256]) {
  const size_t n = a.size();
  std::vector<double> secant(n - 1), slope(n);
  for (size_t i = 0; i + 1 < n; ++i) secant[i] = (a[i + 1].value - a[i].value) / (a[i + 1].index - a[i].index);
  slope[0] = secant[0];
  slope[n - 1] = secant[n - 2];
  for (size_t i = 1; i + 1 < n; ++i) {
    if (secant[i - 1] * secant[i] <= 0) {
      slope[i] = 0;
    } else {
      const double h0 = a[i].index - a[i - 1].index, h1 = a[i + 1].index - a[i].index;
      const double w0 = 2 * h1 + h0, w1 = h1 + 2 * h0;
      slope[i] = (w0 + w1) / (w0 / secant[i - 1] + w1 / secant[i]);
    }
  }
  for (int x = 0; x < 256; ++x) {
    size_t i = 0;
    while (i + 2 < n && x > a[i + 1].index) ++i;
    if (x <= a[0].index) {
      out[x] = a[0].value;
      continue;
    }
    const double h = a[i + 1].index - a[i].index, t = (x - a[i].index) / h;
    const double t2 = t * t, t3 = t2 * t;
    out[x] = (2 * t3 - 3 * t2 + 1) * a[i].value + (t3 - 2 * t2 + t) * h * slope[i] +
             (-2 * t3 + 3 * t2) * a[i + 1].value + (t3 - t2) * h * slope[i + 1];
  }
}

// The fixed entries: (index, red, green, blue).
constexpr int anchors[][4] = {
    {0, 0, 0, 0},        {4, 0, 0, 0},       {32, 0, 7, 2},      {64, 0, 16, 6},
    {128, 0, 33, 14},    {160, 2, 36, 23},   {192, 7, 40, 32},   {224, 12, 44, 41},
    {240, 15, 46, 45},   {241, 17, 47, 46},  {248, 37, 55, 54},  {254, 58, 61, 61},
    {255, 63, 63, 63},
};
// Red stays 0 up to this entry before it starts towards the anchor at 160.
constexpr int last_black_red = 139;

}  // namespace

bool build_ball_palette(uint8_t palette[768], std::string* error) {
  double curve[3][256];
  for (int c = 0; c < 3; ++c) {
    std::vector<Anchor> knots;
    for (const auto& a : anchors) {
      if (c == 0 && a[0] == 160) knots.push_back({last_black_red, 0});
      knots.push_back({a[0], static_cast<double>(a[1 + c])});
    }
    monotone_curve(knots, curve[c]);
  }
  for (int i = 0; i < 256; ++i) {
    const int g = static_cast<int>(std::lround(curve[1][i]));
    const int b = std::min(g, static_cast<int>(std::lround(curve[2][i])));
    const int r = std::min(b, static_cast<int>(std::lround(curve[0][i])));
    palette[3 * i] = static_cast<uint8_t>(r);
    palette[3 * i + 1] = static_cast<uint8_t>(g);
    palette[3 * i + 2] = static_cast<uint8_t>(b);
  }
  // The clamps keep the curves monotone; make sure, and that every anchor survived them.
  for (const auto& a : anchors) {
    for (int c = 0; c < 3; ++c) {
      if (palette[3 * a[0] + c] != a[1 + c]) {
        *error = "palette anchor " + std::to_string(a[0]) + " moved";
        return false;
      }
    }
  }
  for (int i = 1; i < 256; ++i) {
    for (int c = 0; c < 3; ++c) {
      if (palette[3 * i + c] < palette[3 * (i - 1) + c]) {
        *error = "palette falls at entry " + std::to_string(i);
        return false;
      }
    }
  }
  for (int i = 0; i <= last_black_red; ++i) {
    if (palette[3 * i] != 0) {
      *error = "red before entry 140";
      return false;
    }
  }
  return true;
}

}  // namespace datagen
