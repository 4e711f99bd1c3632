#include "scenes/lattice/lattice.h"

#include "scenes/common/fx.h"

void lattice_init() { grain_build(); }
void lattice_draw(uint8_t*) {}
void lattice_update(double) {}
void on_direction_toggle() {}
