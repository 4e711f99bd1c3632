// Palettes as smooth curves through a few anchor colours.
#include "tools/datagen/common/palette_ramp.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace datagen {

namespace {

// Shape-preserving slopes: zero at a turn, else the weighted harmonic mean of the two secants.
std::vector<double> monotone_slopes(const std::vector<double>& x, const std::vector<double>& y) {
  const size_t n = x.size();
  std::vector<double> secant(n - 1), slope(n);
  for (size_t k = 0; k + 1 < n; ++k) secant[k] = (y[k + 1] - y[k]) / (x[k + 1] - x[k]);
  slope[0] = secant[0];
  slope[n - 1] = secant[n - 2];
  for (size_t k = 1; k + 1 < n; ++k) {
    if (secant[k - 1] * secant[k] <= 0.0) {
      slope[k] = 0.0;
      continue;
    }
    const double h0 = x[k] - x[k - 1], h1 = x[k + 1] - x[k];
    const double w0 = 2.0 * h1 + h0, w1 = h1 + 2.0 * h0;
    slope[k] = (w0 + w1) / (w0 / secant[k - 1] + w1 / secant[k]);
  }
  return slope;
}

double hermite(double t, double y0, double y1, double d0, double d1, double h) {
  const double t2 = t * t, t3 = t2 * t;
  return (2 * t3 - 3 * t2 + 1) * y0 + (t3 - 2 * t2 + t) * h * d0 + (-2 * t3 + 3 * t2) * y1 + (t3 - t2) * h * d1;
}

}  // namespace

void monotone_curve(const std::vector<double>& x, const std::vector<double>& y, double* out) {
  const std::vector<double> slope = monotone_slopes(x, y);
  for (size_t k = 0; k + 1 < x.size(); ++k) {
    const double h = x[k + 1] - x[k];
    for (int i = static_cast<int>(x[k]); i <= static_cast<int>(x[k + 1]); ++i)
      out[i] = hermite((i - x[k]) / h, y[k], y[k + 1], slope[k], slope[k + 1], h);
  }
}

void palette_ramp(uint8_t palette[768], const std::vector<PaletteAnchor>& anchors) {
  std::vector<double> x;
  for (const PaletteAnchor& a : anchors) x.push_back(a.index);
  double curve[256];
  for (int c = 0; c < 3; ++c) {
    std::vector<double> y;
    for (const PaletteAnchor& a : anchors) y.push_back(c == 0 ? a.red : c == 1 ? a.green : a.blue);
    monotone_curve(x, y, curve);
    for (int i = anchors.front().index; i <= anchors.back().index; ++i)
      palette[3 * i + c] = static_cast<uint8_t>(std::lround(std::fmin(63.0, std::fmax(0.0, curve[i]))));
  }
}

std::vector<uint8_t> sea_palette(const std::function<double(int index, int component)>& upper) {
  std::vector<uint8_t> out;
  for (int i = 0; i < 256; ++i) {
    for (int k = 0; k < 3; ++k) {
      const double x = i <= 4 ? 0.0 : (i - 4) / 204.0;
      const double v = i <= sea_top ? sea_blue[k] * std::pow(x, 1.05) : upper(i, k);
      out.push_back(static_cast<uint8_t>(std::clamp(std::lround(v), 0L, 63L)));
    }
  }
  return out;
}

bool palette_rises(const uint8_t palette[768]) {
  for (int i = 3; i < 768; ++i) {
    if (palette[i] < palette[i - 3]) {
      std::fprintf(stderr, "palette: component %d falls at entry %d\n", i % 3, i / 3);
      return false;
    }
  }
  return true;
}

}  // namespace datagen
