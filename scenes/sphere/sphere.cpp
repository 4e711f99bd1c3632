#include "scenes/sphere/sphere.h"

uint8_t sphere_shade_table[64 * 256];

void sphere_init() {}
void sphere_draw(uint8_t*) {}
void sphere_update(double) {}
void sphere_draw_on_black() {}
void sphere_advance() {}
