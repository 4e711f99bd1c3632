#pragma once
// Scene 1: flight through a depth-shaded 8x8x8 line lattice over grain, face flashes on beats.
#include <cstdint>

void lattice_init();
void lattice_draw(uint8_t* frame);
void lattice_update(double ticks);
void on_direction_toggle();

extern const uint8_t lattice_palette[768];
