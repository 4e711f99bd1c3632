// Scene 4: a flat-shaded, depth-sorted spiked ball tumbling over grain, face flashes on beats.
#pragma once
#include <cstdint>

void ball_init();
void ball_draw(uint8_t* frame);
void ball_update(double ticks);

struct flat_triangle {
  int32_t x0, y0, x1, y1, x2, y2;
  int32_t colour;  // low 8 bits are drawn
};
void fill_flat_triangle(const flat_triangle& triangle, uint8_t* destination);

constexpr int32_t ball_mesh_size = 8592;
extern const uint8_t ball_mesh[ball_mesh_size];
extern const uint8_t ball_palette[768];
