#pragma once
// Palettes drawn as smooth curves through a few anchor colours.
#include <cstdint>
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

// True when no component falls from one entry to the next; else says where on stderr.
bool palette_rises(const uint8_t palette[768]);

}  // namespace datagen
