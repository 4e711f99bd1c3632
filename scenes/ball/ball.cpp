#include "scenes/ball/ball.h"

void ball_init() {}
void ball_draw(uint8_t*) {}
void ball_update(double) {}
void fill_flat_triangle(const flat_triangle&, uint8_t*) {}
