// Scroller: a tall picture rising in sixteenth-row steps, blended over the turning sphere.
#pragma once
#include <cstdint>

constexpr int32_t scroll_rows_read = 1728;  // the scene reads rows 0..1727
constexpr int32_t scroll_picture_min_size = 320 * scroll_rows_read;
constexpr int32_t scroll_last_top_row = 1527;  // the picture stops with this row at the top

// Loaded by the host at start-up ("scroll.bin", "scroll.pal").
extern const uint8_t* scroll_picture;
extern const uint8_t* scroll_palette;

void scroller_reset();
void scroller_build_tables();
void scroller_draw(uint8_t* frame);
void scroller_update(double ticks);

// The picture from row `picture` on, fine/16 of the way to the next row, blended over the
// frame: each picture index is its own opacity.
void scroller_blend(uint8_t* frame, const uint8_t* picture, int32_t fine);
// The same through the four tables, one pixel at a time: the reference scroller_blend is tested
// against.
void scroller_blend_plain(uint8_t* frame, const uint8_t* picture, int32_t fine);

// Scroll state, zeroed by scroller_reset.
extern int32_t scroll_fine;    // 0..15, sixteenths of a row
extern int32_t scroll_rows;    // whole rows so far, counting on after the picture stops
extern int32_t scroll_offset;  // 320 * min(scroll_rows, 1527)

// Row i, column j: i - j (i / 16) and j (i / 16); row i, column j: i (256 - j) / 256.
extern uint8_t scroll_upper_weights[256][16];
extern uint8_t scroll_lower_weights[256][16];
extern uint8_t scroll_blend[256][256];
