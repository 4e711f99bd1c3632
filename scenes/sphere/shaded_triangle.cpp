#include "scenes/sphere/shaded_triangle.h"

void draw_shaded_triangle(uint8_t*, const ShadedVertex&, const ShadedVertex&, const ShadedVertex&,
                          const uint8_t*, const uint8_t*) {}
