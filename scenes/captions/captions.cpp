#include "scenes/captions/captions.h"

void caption_init() {}
void caption_draw(uint8_t*) {}
void on_next_caption() {}
