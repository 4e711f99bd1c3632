// Writes scenes/captions/font_picture_data.cpp: the caption font, 26 bold capitals rendered
// from a TrueType font, thresholded to a solid body (255) with a one-pixel outline (1), each
// centred in its box between the marker columns (2) the overlay measures widths from.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_BBOX_H
#include FT_BITMAP_H

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "tools/datagen/common/emit_source.h"
#include "tools/datagen/common/font_file.h"

namespace {

constexpr int picture_width = 640;
constexpr int picture_height = 25;
constexpr int marker_columns[26] = {21,  42,  63,  84,  103, 122, 141, 160, 170, 190, 209, 228, 253,
                                    276, 299, 318, 337, 356, 375, 396, 419, 442, 467, 490, 516, 537};
constexpr uint8_t body = 255;
constexpr uint8_t outline = 1;
constexpr uint8_t marker = 2;

// The body fills rows 3..18 so that its outline stays within the ink rows 2..19, and keeps a
// blank column on each side of the outline so that neighbouring letters never touch.
constexpr int body_top = 3;
constexpr int body_rows = 16;
constexpr int side_margin = 1;
// At this size the bold face's counters close up once the outline rings them; thinning every
// stroke by a pixel keeps A, B, R and the like open.
constexpr double final_thinning = 1.0;

// Outline coordinates are 26.6 fixed point.
constexpr double unit = 64.0;

struct Box {
  double left, right, bottom, top;  // pixels, y up
};

Box outline_box(const FT_Outline& o) {
  // The exact box, not the control box, which can exceed the ink on curves.
  FT_BBox b;
  FT_Outline_Get_BBox(const_cast<FT_Outline*>(&o), &b);
  return {b.xMin / unit, b.xMax / unit, b.yMin / unit, b.yMax / unit};
}

// Loads letter's outline at the 64-pixel working size, its strokes thinned by final_thinning
// pixels of the final size (scale: final pixels per working pixel).
FT_Outline* load_letter(FT_Face face, char letter, double scale) {
  if (FT_Load_Char(face, static_cast<FT_ULong>(letter), FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP)) return nullptr;
  const FT_Pos strength = static_cast<FT_Pos>(-final_thinning * unit / scale);
  FT_Outline_EmboldenXY(&face->glyph->outline, strength, strength);
  return &face->glyph->outline;
}

// Renders letter into a cell of cell_width x body_rows coverage values (0..255).
bool render_letter(FT_Face face, char letter, int cell_width, double cap_scale, std::vector<uint8_t>* coverage) {
  FT_Outline* loaded = load_letter(face, letter, cap_scale);
  if (!loaded) return false;
  FT_Outline& o = *loaded;
  const Box ink = outline_box(o);
  // One scale for all letters (the cap height fills the body rows), tightened per letter only
  // where the letter would overflow: round letters' overshoot, Q's tail, the widest capitals.
  const double room_x = cell_width - 2 * side_margin - 2;
  const double scale_y = std::min(cap_scale, body_rows / (ink.top - ink.bottom));
  const double scale_x = std::min(cap_scale, room_x / (ink.right - ink.left));
  FT_Matrix m = {static_cast<FT_Fixed>(scale_x * 65536.0), 0, 0, static_cast<FT_Fixed>(scale_y * 65536.0)};
  FT_Outline_Transform(&o, &m);
  const Box placed = outline_box(o);
  // Centre horizontally on a whole pixel so vertical stems stay as sharp as the threshold
  // allows; the ink's bottom sits on the bitmap's bottom edge (y = 0, font row 18).
  const double ink_width = placed.right - placed.left;
  const double left = static_cast<int>((cell_width - ink_width) / 2.0 + 0.5);
  FT_Outline_Translate(&o, static_cast<FT_Pos>((left - placed.left) * unit),
                       static_cast<FT_Pos>(-placed.bottom * unit));
  coverage->assign(static_cast<size_t>(cell_width * body_rows), 0);
  FT_Bitmap bitmap;
  FT_Bitmap_Init(&bitmap);
  bitmap.rows = body_rows;
  bitmap.width = static_cast<unsigned>(cell_width);
  bitmap.pitch = cell_width;
  bitmap.buffer = coverage->data();
  bitmap.num_grays = 256;
  bitmap.pixel_mode = FT_PIXEL_MODE_GRAY;
  return FT_Outline_Get_Bitmap(face->glyph->library, &o, &bitmap) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (!datagen::arguments_fit(argc, 3, "make-font FONT.ttf OUT.cpp")) return 2;
  datagen::FontFile font;
  if (!datagen::open_font(argv[1], &font)) return 1;
  const FT_Face face = font.face;
  // Work in pixels of a 64-pixel em; the cap height of H sets the common scale (measured
  // twice: thinning lowers the height a little).
  FT_Set_Pixel_Sizes(face, 0, 64);
  double cap_scale = 16.0 / 47.0;
  for (int pass = 0; pass < 2; ++pass) {
    const FT_Outline* h_outline = load_letter(face, 'H', cap_scale);
    if (!h_outline) return 1;
    const Box h = outline_box(*h_outline);
    cap_scale = body_rows / (h.top - h.bottom);
  }

  std::vector<uint8_t> picture(picture_width * picture_height, 0);
  for (int column : marker_columns)
    for (int y = 0; y < picture_height; ++y) picture[y * picture_width + column] = marker;

  int start = 1;
  for (int letter = 0; letter < 26; ++letter) {
    const int width = marker_columns[letter] - start;
    std::vector<uint8_t> coverage;
    if (!render_letter(face, static_cast<char>('A' + letter), width, cap_scale, &coverage)) {
      std::fprintf(stderr, "cannot render %c\n", 'A' + letter);
      return 1;
    }
    // Threshold into the body, then ring it with the outline (8-neighbourhood).
    auto at = [&](int x, int y) -> uint8_t& { return picture[(body_top + y) * picture_width + start + x]; };
    for (int y = 0; y < body_rows; ++y)
      for (int x = 0; x < width; ++x)
        if (coverage[y * width + x] >= 128) at(x, y) = body;
    for (int y = -1; y <= body_rows; ++y) {
      for (int x = 0; x < width; ++x) {
        if (at(x, y) == body) continue;
        bool touches = false;
        for (int dy = -1; dy <= 1; ++dy)
          for (int dx = -1; dx <= 1; ++dx) {
            const int nx = x + dx, ny = y + dy;
            if (nx >= 0 && nx < width && ny >= 0 && ny < body_rows && at(nx, ny) == body) touches = true;
          }
        if (touches) at(x, y) = outline;
      }
    }
    start = marker_columns[letter] + 1;
  }
  datagen::close_font(&font);

  const std::string body = datagen::source_array("const uint8_t font_picture[font_width * font_height]", picture);
  return datagen::write_source(argv[2], "tools/datagen/captions/make_font.cpp", {"scenes/captions/captions.h"}, body)
             ? 0
             : 1;
}
