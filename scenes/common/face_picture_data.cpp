// Placeholder until the face picture generator lands.
#include "scenes/common/fx.h"

const uint8_t face_picture[face_width * face_height] = {};
