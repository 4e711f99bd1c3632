// The caption overlay: credits, title and chapter words over every scene.
#include "scenes/captions/captions.h"

#include "scenes/common/effect.h"

Glyph glyph_table[glyph_count];
int32_t caption_group = 0;

void caption_init() {
  // Walk the ink row from column 1: each glyph runs up to the next marker, the one after
  // starts just past it. A missing marker ends the glyph at the row's end instead of
  // running off the picture.
  const int32_t row_end = (font_first_ink_row + 1) * font_width;
  int32_t position = font_first_ink_row * font_width + 1;
  for (Glyph& glyph : glyph_table) {
    int32_t width = 0;
    while (position + width < row_end && font_picture[position + width] != font_marker) ++width;
    glyph = {width, position};
    position += width + 1;
  }
}

uint8_t* caption_text(uint8_t* pen, const char* text) {
  for (; *text != 0; ++text) {
    const char c = *text;
    if (c == ' ') {
      pen += caption_space_advance;
      continue;
    }
    if (c < 'A' || c > 'Z') continue;  // nothing else belongs in a caption
    const Glyph& glyph = glyph_table[c - 'A'];
    for (int32_t row = 0; row < glyph_height; ++row) {
      const uint8_t* source = font_picture + glyph.offset + row * font_width;
      uint8_t* target = pen + row * screen_width;
      for (int32_t column = 0; column < glyph.width; ++column) {
        if (source[column] != 0) target[column] = source[column];
      }
    }
    pen += glyph.width;
  }
  return pen;
}

void caption_draw(uint8_t* frame) {
  fx_frame = frame;
  // Past the table's end nothing more is shown, like the trailing empty group.
  if (caption_group < 0 || caption_group >= caption_group_count) return;
  const CaptionGroup& group = caption_groups[caption_group];
  for (int32_t i = 0; i < group.count; ++i) {
    caption_text(fx_frame + group.items[i].offset, group.items[i].text);
  }
}

void on_next_caption() { ++caption_group; }
