// Placeholder until the scene's data generator lands.
#include "scenes/swarm/swarm.h"

const uint8_t logo_bitmap[32 * 32] = {};
const uint8_t blob_sprite[16 * 16] = {};
const uint8_t swarm_palette[768] = {};
