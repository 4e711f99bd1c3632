#include "scenes/feedback/feedback.h"

void feedback_init() {}
void feedback_draw(uint8_t*) {}
void feedback_update(double) {}
void draw_mapped_triangle(const mapped_triangle&, uint8_t*) {}
