// Affine texture-mapped, Gouraud-lit triangle through a 64-level shade table.
#pragma once
#include <cstdint>

struct ShadedVertex {
  int32_t x, y;   // screen position, -32768..32767; the filler clips to the screen
  int32_t light;  // 0..63 (any value within -32768..32767 is safe; the shade row is clamped)
  int32_t u, v;   // texels, -32768..32767, used modulo 256
};

// Draws into the 320x200 frame: texel (u, v) at texture[v * 256 + u], shaded through row
// light of shade (64 rows of 256). Column 319 and the bottom vertex's row are never written.
void draw_shaded_triangle(uint8_t* frame, const ShadedVertex& a, const ShadedVertex& b, const ShadedVertex& c,
                          const uint8_t* texture, const uint8_t* shade);
