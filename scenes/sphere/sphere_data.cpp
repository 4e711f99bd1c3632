// Placeholder until the scene's data generator lands.
#include "scenes/sphere/sphere.h"

const uint8_t sphere_model[sphere_model_size] = {};
const uint8_t sphere_palette[768] = {};
