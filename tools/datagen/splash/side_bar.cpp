// The side bar: a relief of two rounded rails framing a sunken channel with a chain of beveled
// diamonds, each with a domed stud, lit from the upper left. Brightness only, so it reads as
// the same carved metal in every scene's palette.
#include <algorithm>
#include <cmath>

#include "tools/datagen/splash/picture.h"

namespace splash {

namespace {

constexpr double aspect = 1.2;   // pixels are 1.2 times as tall as wide
constexpr double repeat = 40.0;  // display units between diamonds: six down the bar
constexpr double centre = 16.0;

double dome(double d, double radius, double height) {
  return d < radius ? height * std::sqrt(1.0 - (d / radius) * (d / radius)) : 0.0;
}

// Height of the relief at (x, Y), Y in display units.
double relief(double x, double Y) {
  double h = 0.5;                                                    // floor of the channel
  h = std::max(h, dome(std::abs(x - 1.6), 2.6, 2.6));                // outer rail
  h = std::max(h, dome(std::abs(x - 30.4), 2.6, 2.6));               // inner rail
  const double phase = Y - repeat * (std::floor(Y / repeat) + 0.5);  // -20..20 about a diamond
  // The diamond: a four-faceted pyramid, each facet catching the light differently.
  const double dd = std::abs(x - centre) / 10.5 + std::abs(phase) / 17.0;
  if (dd < 1.0) h = std::max(h, 0.5 + 2.2 * (1.0 - dd));
  // Domed stud on its point.
  const double r = std::hypot(x - centre, phase);
  if (r < 3.2) h = std::max(h, 2.2 + dome(r, 3.2, 1.2));
  // A thin spine joining the diamonds, and small rivets beside it.
  h = std::max(h, 0.5 + dome(std::abs(x - centre), 1.3, 0.7));
  const double between = Y - repeat * std::floor(Y / repeat);  // 0..40, 0 midway between diamonds
  for (double rx : {8.0, 24.0}) h = std::max(h, 0.5 + dome(std::hypot(x - rx, between), 1.7, 0.9));
  for (double rx : {8.0, 24.0}) h = std::max(h, 0.5 + dome(std::hypot(x - rx, between - repeat), 1.7, 0.9));
  return h;
}

double shade(double x, double Y) {
  const double e = 0.15;
  const double dx = (relief(x + e, Y) - relief(x - e, Y)) / (2 * e);
  const double dy = (relief(x, Y + e) - relief(x, Y - e)) / (2 * e);
  const double nl = std::sqrt(dx * dx + dy * dy + 1.0);
  const double nx = -dx / nl, ny = -dy / nl, nz = 1.0 / nl;
  // Light from the upper left (Y grows downwards).
  const double lx = -0.5, ly = -0.6, lz = 0.62;
  const double diffuse = std::max(0.0, nx * lx + ny * ly + nz * lz);
  const double hx = lx, hy = ly, hz = lz + 1.0, hl = std::sqrt(hx * hx + hy * hy + hz * hz);
  const double specular = std::pow(std::max(0.0, (nx * hx + ny * hy + nz * hz) / hl), 24.0);
  // Sunken parts get less light.
  const double occlusion = 0.45 + 0.55 * std::clamp(relief(x, Y) / 2.7, 0.0, 1.0);
  return std::clamp(0.06 + 0.62 * diffuse * occlusion + 0.5 * specular, 0.0, 1.0);
}

}  // namespace

std::vector<uint8_t> paint_side_bar() {
  std::vector<uint8_t> bar(bar_width * bar_height);
  constexpr int samples = 4;
  for (int y = 0; y < bar_height; ++y) {
    for (int x = 0; x < bar_width; ++x) {
      double sum = 0;
      for (int sy = 0; sy < samples; ++sy)
        for (int sx = 0; sx < samples; ++sx)
          sum += shade(x + (sx + 0.5) / samples, (y + (sy + 0.5) / samples) * aspect);
      // Up to 224: a frame, not a light. Even where a palette turns white early the glints
      // stay small, and they stay short of 255, the captions' body colour.
      bar[y * bar_width + x] = static_cast<uint8_t>(std::lround(224.0 * sum / (samples * samples)));
    }
  }
  return bar;
}

}  // namespace splash
