// Placeholder until the scene's data generator lands.
#include "scenes/ball/ball.h"

const uint8_t ball_mesh[ball_mesh_size] = {};
const uint8_t ball_palette[768] = {};
