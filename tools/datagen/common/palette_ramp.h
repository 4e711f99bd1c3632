// Palettes drawn as smooth curves through a few anchor colours.
#pragma once
#include <cstdint>
#include <functional>
#include <vector>

namespace datagen {

struct PaletteAnchor {
  int index;
  int red, green, blue;
};

// Fills entries first..last anchor index with a monotone cubic (Fritsch-Carlson) through the
// anchors, per component, rounded: it passes every anchor exactly and never overshoots, so
// components that never fall between anchors never fall between entries either.
void palette_ramp(uint8_t palette[768], const std::vector<PaletteAnchor>& anchors);

// One component's curve: the monotone cubic through the points (x[k], y[k]), x whole numbers
// rising, written to out[i] for every i from x.front() to x.back().
void monotone_curve(const std::vector<double>& x, const std::vector<double>& y, double* out);

// The sphere's colours, which the scroll over it shares: black (indices 0..4), then a nearly
// straight rise to sea_blue at sea_top. The palette's 768 components rounded to 0..63, those
// above sea_top from upper(index, component).
constexpr int sea_top = 208;
constexpr double sea_blue[3] = {21, 41, 47};
std::vector<uint8_t> sea_palette(const std::function<double(int index, int component)>& upper);

// True when no component falls from one entry to the next; else says where on stderr.
bool palette_rises(const uint8_t palette[768]);

}  // namespace datagen
