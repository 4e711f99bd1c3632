// The title picture and the side bar, painted procedurally.
#pragma once
#include <cstdint>
#include <vector>

namespace splash {

struct Rgb {
  double r = 0, g = 0, b = 0;
};

constexpr int picture_width = 320;
constexpr int picture_height = 200;

// The title picture in full colour (components 0..1), row-major, top row first.
std::vector<Rgb> paint_title();

constexpr int bar_width = 32;
constexpr int bar_height = 200;

// The side bar as brightness 0..255, row-major: drawn with whatever palette the running scene
// has, and those are ramps from black to white.
std::vector<uint8_t> paint_side_bar();

// Reduces a picture to 256 colours of 6-bit components: writes the palette (768 bytes) and
// the index of every pixel, dithered.
void quantize(const std::vector<Rgb>& picture, int width, uint8_t palette[768], std::vector<uint8_t>* indices);

}  // namespace splash
