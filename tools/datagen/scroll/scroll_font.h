// Anti-aliased glyphs for the scroll picture, rendered once from a TrueType font at a few
// pixel sizes (make_scroll_font.cpp) and committed as scroll_font_data.cpp.
#pragma once
#include <cstdint>

namespace scroll_font {

constexpr int size_count = 4;
constexpr int pixel_sizes[size_count] = {15, 22, 34, 72};
// The two large sizes hold capitals, digits and punctuation only.
constexpr int first_capitals_only_size = 2;
constexpr char characters[] = " !&'(),-./0123456789:?ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
constexpr int character_count = sizeof characters - 1;

// One glyph: pen advance, bitmap placement relative to the pen on the baseline (top grows
// upwards), bitmap size, and the offset of its coverage bytes (0..255, row-major) in pixels.
enum Field { advance, left, top, width, height, offset, field_count };

extern const int32_t glyphs[size_count * character_count * field_count];
extern const int32_t line_metrics[size_count * 2];  // per size: ascent, descent (pixels)
extern const int32_t pixel_count;
extern const uint8_t pixels[];

}  // namespace scroll_font
