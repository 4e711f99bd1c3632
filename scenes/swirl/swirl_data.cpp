// Placeholder until the scene's data generator lands.
#include "scenes/swirl/swirl.h"

const uint8_t texture_tile[64 * 64] = {};
const int32_t fine_sine[1024] = {};
const uint8_t swirl_palette[768] = {};
