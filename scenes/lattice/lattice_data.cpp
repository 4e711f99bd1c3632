// Placeholder until the scene's data generator lands.
#include "scenes/lattice/lattice.h"

const uint8_t lattice_palette[768] = {};
