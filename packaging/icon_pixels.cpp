#include "packaging/icon_pixels.h"

#include <cstddef>

std::vector<uint8_t> icon_rgba(const uint32_t* argb, int32_t size, int32_t scale) {
  if (size <= 0 || scale <= 0) return {};
  const int32_t side = size * scale;
  std::vector<uint8_t> rgba(static_cast<size_t>(side) * static_cast<size_t>(side) * 4);
  uint8_t* out = rgba.data();
  for (int32_t y = 0; y < side; ++y) {
    for (int32_t x = 0; x < side; ++x) {
      const uint32_t p = argb[(y / scale) * size + x / scale];
      *out++ = static_cast<uint8_t>(p >> 16);
      *out++ = static_cast<uint8_t>(p >> 8);
      *out++ = static_cast<uint8_t>(p);
      *out++ = static_cast<uint8_t>(p >> 24);
    }
  }
  return rgba;
}
