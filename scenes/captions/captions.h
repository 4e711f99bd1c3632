// Caption overlay: credits, title and chapter words drawn over every scene.
#pragma once
#include <cstdint>

void caption_init();
void caption_draw(uint8_t* frame);
void on_next_caption();

// The font picture: letters A..Z side by side between full-height marker columns.
// Values: 0 transparent, 255 body, 1 outline, 2 marker.
constexpr int32_t font_width = 640;
constexpr int32_t font_height = 25;
constexpr int32_t font_first_ink_row = 2;
constexpr int32_t glyph_height = 18;
constexpr uint8_t font_marker = 2;
extern const uint8_t font_picture[font_width * font_height];

struct Glyph {
  int32_t width;   // pixels, blank side columns included
  int32_t offset;  // index into font_picture of the glyph's top-left pixel (row 2)
};
constexpr int32_t glyph_count = 26;
extern Glyph glyph_table[glyph_count];

constexpr int32_t caption_space_advance = 20;

struct CaptionItem {
  int32_t offset;    // 320 * row + column of the text's top-left pixel
  const char* text;  // capital letters and spaces
};
struct CaptionGroup {
  int32_t count;  // 0: nothing drawn
  const CaptionItem* items;
};
constexpr int32_t caption_group_count = 18;
extern const CaptionGroup caption_groups[caption_group_count];
extern int32_t caption_group;  // current group, advanced by the script

// Draws one text with its top-left corner at pen; returns the pen after the last character.
uint8_t* caption_text(uint8_t* pen, const char* text);
