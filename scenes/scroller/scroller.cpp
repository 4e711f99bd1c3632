#include "scenes/scroller/scroller.h"

const uint8_t* scroll_picture = nullptr;
const uint8_t* scroll_palette = nullptr;

void scroller_reset() {}
void scroller_build_tables() {}
void scroller_draw(uint8_t*) {}
void scroller_update(double) {}
