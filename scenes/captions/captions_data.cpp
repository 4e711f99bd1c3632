// Placeholder until the font generator lands.
#include "scenes/captions/captions.h"

const uint8_t font_picture[font_width * font_height] = {};
