// Writes tools/datagen/scroll/scroll_font_data.cpp: the scroll picture's glyphs, rendered with
// FreeType (light hinting, 256 coverage levels) from the TrueType font named on the command line.
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstring>
#include <vector>

#include "tools/datagen/common/emit_source.h"
#include "tools/datagen/common/font_file.h"
#include "tools/datagen/scroll/scroll_font.h"

int main(int argc, char** argv) {
  if (!datagen::arguments_fit(argc, 3, "make-scroll-font FONT.ttf OUT.cpp")) return 2;
  datagen::FontFile font;
  if (!datagen::open_font(argv[1], &font)) return 1;
  const FT_Face face = font.face;
  std::vector<int32_t> glyphs;
  std::vector<int32_t> metrics;
  std::vector<uint8_t> pixels;
  for (int size = 0; size < scroll_font::size_count; ++size) {
    FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(scroll_font::pixel_sizes[size]));
    metrics.push_back(static_cast<int32_t>(face->size->metrics.ascender >> 6));
    metrics.push_back(static_cast<int32_t>(-face->size->metrics.descender >> 6));
    for (int c = 0; c < scroll_font::character_count; ++c) {
      const char ch = scroll_font::characters[c];
      const bool skip = size >= scroll_font::first_capitals_only_size && ch >= 'a' && ch <= 'z';
      if (skip || FT_Load_Char(face, static_cast<unsigned char>(ch), FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT)) {
        glyphs.insert(glyphs.end(), {0, 0, 0, 0, 0, static_cast<int32_t>(pixels.size())});
        continue;
      }
      const FT_GlyphSlot slot = face->glyph;
      const FT_Bitmap& bitmap = slot->bitmap;
      glyphs.insert(glyphs.end(), {static_cast<int32_t>((slot->advance.x + 32) >> 6), slot->bitmap_left,
                                   slot->bitmap_top, static_cast<int32_t>(bitmap.width),
                                   static_cast<int32_t>(bitmap.rows), static_cast<int32_t>(pixels.size())});
      for (unsigned y = 0; y < bitmap.rows; ++y) {
        const unsigned char* row = bitmap.buffer + static_cast<long>(y) * bitmap.pitch;
        pixels.insert(pixels.end(), row, row + bitmap.width);
      }
    }
  }
  datagen::close_font(&font);
  const int32_t count = static_cast<int32_t>(pixels.size());
  const std::string body = "namespace scroll_font {\n\n" +
                           datagen::source_array("const int32_t glyphs[size_count * character_count * field_count]",
                                                 glyphs) +
                           datagen::source_array("const int32_t line_metrics[size_count * 2]", metrics) +
                           datagen::source_array("const int32_t pixel_count", &count, 1) +
                           datagen::source_array("const uint8_t pixels[" + std::to_string(count) + "]", pixels) +
                           "}  // namespace scroll_font\n";
  return datagen::write_source(argv[2], "tools/datagen/scroll/make_scroll_font.cpp",
                               {"tools/datagen/scroll/scroll_font.h"}, body)
             ? 0
             : 1;
}
