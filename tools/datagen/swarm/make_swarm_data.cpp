// Writes scenes/swarm/swarm_data.cpp: the logo word, the blob sprite, the palette and the
// jitter tables of the particle logo scene.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "tools/datagen/common/emit_source.h"
#include "tools/datagen/common/palette_ramp.h"

namespace {

constexpr int logo_size = 32;
constexpr int letter_height = 14;
constexpr int logo_top_row = 10;     // the word fills rows 10..23
constexpr int logo_left_column = 1;  // 29 columns wide: centred on the swarm's centre
constexpr int logo_pixel_count = 222;

// The group's name in a bold lettering: two-pixel strokes, cut corners, a blank column between
// letters.
// clang-format off
const char* const logo_word[letter_height] = {
    " ####  ##    ##  ####  ##  ##",
    "###### ##    ## ###### ## ###",
    "##  ## ##    ## ##  ## ## ## ",
    "##  ## ##    ## ##  ## ##### ",
    "###    ##    ## ##     ####  ",
    " ####  ##    ## ##     ####  ",
    "  #### ##    ## ##     ###   ",
    "   ### ##    ## ##     ###   ",
    "    ## ##    ## ##     ####  ",
    "    ## ##    ## ##     ####  ",
    "##  ## ##    ## ##  ## ##### ",
    "##  ## ##    ## ##  ## ## ## ",
    "###### ##### ## ###### ## ###",
    " ####  ##### ##  ####  ##  ##",
};
// clang-format on

bool build_logo(uint8_t logo[logo_size * logo_size]) {
  std::memset(logo, 0, logo_size * logo_size);
  const int width = static_cast<int>(std::strlen(logo_word[0]));
  int count = 0;
  for (int row = 0; row < letter_height; ++row) {
    for (int m = 0; m < width; ++m) {
      if (logo_word[row][m] != '#') continue;
      logo[(logo_top_row + row) * logo_size + logo_left_column + m] = 1;
      ++count;
    }
  }
  if (logo_left_column + width > logo_size || count != logo_pixel_count) {
    std::fprintf(stderr, "logo: %d pixels, %d columns; want %d pixels in %d columns\n", count, width, logo_pixel_count,
                 logo_size - logo_left_column);
    return false;
  }
  return true;
}

// A soft round glow of radius 7 about row 8, column 7: (1 - r^2/49)^2 scaled to 15. Rows 0, 1, 15
// and columns 0, 15 lie at distance 7 or more and stay 0.
void build_blob(uint8_t blob[16 * 16]) {
  for (int row = 0; row < 16; ++row) {
    for (int column = 0; column < 16; ++column) {
      const double r2 = (row - 8) * (row - 8) + (column - 7) * (column - 7);
      const double falloff = r2 >= 49.0 ? 0.0 : (1.0 - r2 / 49.0) * (1.0 - r2 / 49.0);
      blob[row * 16 + column] = static_cast<uint8_t>(std::lround(15.0 * falloff));
    }
  }
}

// Black, a slow dark-green ramp to 112, then a steep rise to white at 127, white above.
bool build_palette(uint8_t palette[768]) {
  datagen::palette_ramp(palette, {{0, 0, 0, 0},
                                  {3, 0, 0, 0},
                                  {64, 6, 21, 12},
                                  {112, 11, 38, 23},
                                  {116, 21, 44, 31},
                                  {123, 45, 56, 50},
                                  {127, 63, 63, 63},
                                  {255, 63, 63, 63}});
  return datagen::palette_rises(palette);
}

// Small wobbles: 6 periods across x, 4 across y, amplitude 2.
void build_jitter(int32_t x[256], int32_t y[256]) {
  for (int i = 0; i < 256; ++i) {
    x[i] = static_cast<int32_t>(std::lround(2.0 * std::sin(2.0 * M_PI * 6 * (i + 1) / 256.0)));
    y[i] = static_cast<int32_t>(std::lround(2.0 * std::cos(2.0 * M_PI * 4 * (i + 1) / 256.0)));
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (!datagen::arguments_fit(argc, 2, "make-swarm-data OUT.cpp")) return 2;
  uint8_t logo[logo_size * logo_size], blob[16 * 16], palette[768];
  int32_t jitter_x[256], jitter_y[256];
  if (!build_logo(logo) || !build_palette(palette)) return 1;
  build_blob(blob);
  build_jitter(jitter_x, jitter_y);

  const std::string body = datagen::source_array("const uint8_t logo_bitmap[32 * 32]", logo, sizeof logo) +
                           datagen::source_array("const uint8_t blob_sprite[16 * 16]", blob, sizeof blob) +
                           datagen::source_array("const uint8_t swarm_palette[768]", palette, sizeof palette) +
                           datagen::source_array("const int32_t swarm_jitter_x[256]", jitter_x, 256) +
                           datagen::source_array("const int32_t swarm_jitter_y[256]", jitter_y, 256);
  return datagen::write_source(argv[1], "tools/datagen/swarm/make_swarm_data.cpp", {"scenes/swarm/swarm.h"}, body) ? 0
                                                                                                                   : 1;
}
