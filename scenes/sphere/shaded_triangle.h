#pragma once
// Affine texture-mapped, Gouraud-lit triangle through a 64-level shade table.
#include <cstdint>

struct ShadedVertex {
  int32_t x, y;  // screen position, -32768..32767
  int32_t light;  // 0..63
  int32_t u, v;   // texels, used modulo 256
};

void draw_shaded_triangle(uint8_t* frame, const ShadedVertex& a, const ShadedVertex& b,
                          const ShadedVertex& c, const uint8_t* texture, const uint8_t* shade);
