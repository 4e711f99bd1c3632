#pragma once
// Scene 3: the previous picture redrawn as a turning, drifting, slightly enlarged quad.
#include <cstdint>

void feedback_init();
void feedback_draw(uint8_t* frame);
void feedback_update(double ticks);

// Affine texture-mapped triangle; texture rows are 256 bytes.
struct mapped_triangle {
  int32_t x0, y0, x1, y1, x2, y2;
  int32_t unused[4];
  int32_t u0, v0, u1, v1, u2, v2;
  const uint8_t* texture;
};
void draw_mapped_triangle(const mapped_triangle& triangle, uint8_t* destination);
