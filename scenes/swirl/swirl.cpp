#include "scenes/swirl/swirl.h"

alignas(65536) uint8_t texture_map[65536];

void swirl_init() {}
void swirl_draw(uint8_t*) {}
void swirl_update(double) {}
