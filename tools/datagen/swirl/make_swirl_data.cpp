// Writes scenes/swirl/swirl_data.cpp: the cloud texture tile, the fine sine table and the
// swirl's grey-green palette. Deterministic: the noise comes from an integer hash.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <set>
#include <vector>

#include "tools/datagen/common/emit_source.h"
#include "tools/datagen/common/palette_ramp.h"

namespace {

constexpr int tile_size = 64;
constexpr int tile_levels = 24;
constexpr int level_step = 11;  // 23 * 11 = 253, the brightest texel

uint32_t hash(uint32_t x, uint32_t y, uint32_t seed) {
  uint32_t h = x * 0x8da6b343u ^ y * 0xd8163841u ^ seed * 0xcb1ab31fu;
  h ^= h >> 15;
  h *= 0x2c1b3c6du;
  h ^= h >> 12;
  h *= 0x297a2d39u;
  h ^= h >> 15;
  return h;
}

double lattice(int i, int j, int period_x, int period_y, uint32_t seed) {
  const uint32_t x = static_cast<uint32_t>(((i % period_x) + period_x) % period_x);
  const uint32_t y = static_cast<uint32_t>(((j % period_y) + period_y) % period_y);
  return (hash(x, y, seed) >> 8) / double(1u << 24);
}

double fade(double t) { return t * t * t * (t * (t * 6 - 15) + 10); }

// Value noise over the tile that repeats every 64 pixels: period_x by period_y lattice cells.
double value_noise(double x, double y, int period_x, int period_y, uint32_t seed) {
  const double fx = x * period_x / tile_size;
  const double fy = y * period_y / tile_size;
  const int i = static_cast<int>(std::floor(fx));
  const int j = static_cast<int>(std::floor(fy));
  const double sx = fade(fx - i);
  const double sy = fade(fy - j);
  const double a = lattice(i, j, period_x, period_y, seed);
  const double b = lattice(i + 1, j, period_x, period_y, seed);
  const double c = lattice(i, j + 1, period_x, period_y, seed);
  const double d = lattice(i + 1, j + 1, period_x, period_y, seed);
  return (a + (b - a) * sx) * (1 - sy) + (c + (d - c) * sx) * sy;
}

double clouds(double x, double y, uint32_t seed) {
  double sum = 0;
  double amplitude = 1;
  for (int period = 4; period <= 16; period *= 2) {
    sum += amplitude * value_noise(x, y, period, period, seed + period);
    amplitude *= 0.5;
  }
  return sum;
}

// Soft blobs bent by a slow warp field, with long streaks drawn out along the warp.
void make_texture_tile(uint8_t tile[tile_size * tile_size]) {
  double field[tile_size * tile_size];
  for (int y = 0; y < tile_size; ++y) {
    for (int x = 0; x < tile_size; ++x) {
      const double wx = x + 14 * (value_noise(x, y, 2, 2, 101) - 0.5);
      const double wy = y + 14 * (value_noise(x, y, 2, 2, 202) - 0.5);
      const double blobs = clouds(wx, wy, 7);
      const double streaks = value_noise(wx + wy, wy, 2, 8, 303);
      field[y * tile_size + x] = blobs + 0.35 * streaks;
    }
  }
  const auto [lo, hi] = std::minmax_element(field, field + tile_size * tile_size);
  for (int i = 0; i < tile_size * tile_size; ++i) {
    const double t = (field[i] - *lo) / (*hi - *lo);
    const double shaped = t * t * (3 - 2 * t);  // deeper darks and brighter crests
    const int level = std::min(tile_levels - 1, static_cast<int>(shaped * tile_levels));
    tile[i] = static_cast<uint8_t>(level * level_step);
  }
}

void make_fine_sine(int32_t table[1024]) {
  for (int i = 0; i < 1024; ++i) {
    table[i] = static_cast<int32_t>(std::lround(65536.0 * std::sin(2.0 * M_PI * i / 1024.0)));
  }
}

// Black through cool grey-greens, then a quick climb over the top entries to white.
bool make_swirl_palette(uint8_t palette[768]) {
  const std::vector<datagen::PaletteAnchor> anchors = {{0, 0, 0, 0},      {5, 0, 0, 0},      {32, 4, 6, 5},
                                                       {64, 8, 12, 11},   {128, 17, 25, 22}, {192, 27, 39, 34},
                                                       {240, 34, 49, 43}, {241, 35, 50, 44}, {248, 48, 56, 53},
                                                       {254, 60, 62, 61}, {255, 63, 63, 63}};
  datagen::palette_ramp(palette, anchors);
  for (int i = 0; i < 256; ++i) {
    // Keep the cool tint: green >= blue >= red everywhere, rounding included.
    palette[3 * i + 2] = std::min(palette[3 * i + 2], palette[3 * i + 1]);
    palette[3 * i] = std::min(palette[3 * i], palette[3 * i + 2]);
  }
  for (const datagen::PaletteAnchor& a : anchors) {
    const uint8_t* entry = &palette[3 * a.index];
    if (entry[0] != a.red || entry[1] != a.green || entry[2] != a.blue) {
      std::fprintf(stderr, "palette misses its anchor at %d\n", a.index);
      return false;
    }
  }
  return datagen::palette_rises(palette);
}

}  // namespace

int main(int argc, char** argv) {
  if (!datagen::arguments_fit(argc, 2, "make-swirl-data OUT.cpp")) return 2;
  uint8_t tile[tile_size * tile_size];
  make_texture_tile(tile);
  if (std::set<uint8_t>(tile, tile + sizeof tile).size() != tile_levels) {
    std::fprintf(stderr, "texture tile does not use all %d levels\n", tile_levels);
    return 1;
  }
  int32_t sine[1024];
  make_fine_sine(sine);
  uint8_t palette[768];
  if (!make_swirl_palette(palette)) return 1;

  const std::string body = datagen::source_array("const uint8_t texture_tile[64 * 64]", tile, sizeof tile) +
                           datagen::source_array("const int32_t fine_sine[1024]", sine, 1024) +
                           datagen::source_array("const uint8_t swirl_palette[768]", palette, sizeof palette);
  return datagen::write_source(argv[1], "tools/datagen/swirl/make_swirl_data.cpp", {"scenes/swirl/swirl.h"}, body) ? 0
                                                                                                                   : 1;
}
