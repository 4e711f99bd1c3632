// The TrueType font the font generators render from, opened with FreeType.
#pragma once
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdio>

namespace datagen {

struct FontFile {
  FT_Library library = nullptr;
  FT_Face face = nullptr;
};

// Opens the font at path; says on stderr when it cannot.
inline bool open_font(const char* path, FontFile* font) {
  if (FT_Init_FreeType(&font->library) != 0) font->library = nullptr;
  if (font->library && FT_New_Face(font->library, path, 0, &font->face) == 0) return true;
  if (font->library) FT_Done_FreeType(font->library);
  *font = {};
  std::fprintf(stderr, "cannot read %s\n", path);
  return false;
}

inline void close_font(FontFile* font) {
  FT_Done_Face(font->face);
  FT_Done_FreeType(font->library);
  *font = {};
}

}  // namespace datagen
