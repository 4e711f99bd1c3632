#pragma once
// Scroller: a tall picture rising in sixteenth-row steps, blended over the turning sphere.
#include <cstdint>

constexpr int32_t scroll_rows_read = 1728;  // the scene reads rows 0..1727
constexpr int32_t scroll_picture_min_size = 320 * scroll_rows_read;

// Loaded by the host at start-up ("scroll.bin", "scroll.pal").
extern const uint8_t* scroll_picture;
extern const uint8_t* scroll_palette;

void scroller_reset();
void scroller_build_tables();
void scroller_draw(uint8_t* frame);
void scroller_update(double ticks);
