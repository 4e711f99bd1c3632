// The show's icon drawn at a desktop theme's sizes, as RGBA bytes.
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

std::vector<uint8_t> icon_rgba_maskable(const uint32_t* argb, int32_t size, int32_t side) {
  // The emblem is round, so its square may be as wide as the safe circle: 4/5 of the side.
  const int32_t scale = size > 0 && side > 0 ? side * 4 / (size * 5) : 0;
  if (scale <= 0) return {};
  const std::vector<uint8_t> emblem = icon_rgba(argb, size, scale);
  const int32_t emblem_side = size * scale;
  const int32_t offset = (side - emblem_side) / 2;
  std::vector<uint8_t> rgba(static_cast<size_t>(side) * static_cast<size_t>(side) * 4, 0);
  for (size_t i = 3; i < rgba.size(); i += 4) rgba[i] = 255;
  for (int32_t y = 0; y < emblem_side; ++y) {
    const uint8_t* in = &emblem[static_cast<size_t>(y) * static_cast<size_t>(emblem_side) * 4];
    uint8_t* out =
        &rgba[(static_cast<size_t>(y + offset) * static_cast<size_t>(side) + static_cast<size_t>(offset)) * 4];
    for (int32_t x = 0; x < emblem_side; ++x, in += 4, out += 4) {
      for (int c = 0; c < 3; ++c) out[c] = static_cast<uint8_t>((in[c] * in[3] + 127) / 255);
    }
  }
  return rgba;
}
