// The ball's palette: black through green and teal to white, rising steeply over the last
// fifteen entries. Each component is a monotone cubic through fixed anchors (it never overshoots,
// so every component is non-decreasing), then clamped so that green >= blue >= red everywhere.
#include <algorithm>
#include <cmath>

#include "tools/datagen/ball/ball_data_gen.h"
#include "tools/datagen/common/palette_ramp.h"

namespace datagen {

namespace {

// The fixed entries: (index, red, green, blue).
constexpr int anchors[][4] = {
    {0, 0, 0, 0},      {4, 0, 0, 0},      {32, 0, 7, 2},     {64, 0, 16, 6},    {128, 0, 33, 14},
    {160, 2, 36, 23},  {192, 7, 40, 32},  {224, 12, 44, 41}, {240, 15, 46, 45}, {241, 17, 47, 46},
    {248, 37, 55, 54}, {254, 58, 61, 61}, {255, 63, 63, 63},
};
// Red stays 0 up to this entry before it starts towards the anchor at 160.
constexpr int last_black_red = 139;

}  // namespace

bool build_ball_palette(uint8_t palette[768], std::string* error) {
  double curve[3][256];
  for (int c = 0; c < 3; ++c) {
    std::vector<double> x, y;
    for (const auto& a : anchors) {
      if (c == 0 && a[0] == 160) {
        x.push_back(last_black_red);
        y.push_back(0);
      }
      x.push_back(a[0]);
      y.push_back(a[1 + c]);
    }
    monotone_curve(x, y, curve[c]);
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
