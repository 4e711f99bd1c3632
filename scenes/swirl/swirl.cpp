// Scene 2: the texture wrapped round the centre through polar tables, bent by a twist.
#include "scenes/swirl/swirl.h"

#include <cmath>
#include <new>

#include "scenes/common/fixed3d.h"
#include "scenes/common/fx.h"

namespace {

// Bytes that hold the map at its aligned place (byte storage creates the array there).
unsigned char texture_storage[2 * 65536];

uint8_t (&aligned_texture_map())[65536] {
  const uintptr_t misalignment = reinterpret_cast<uintptr_t>(texture_storage) % 65536;
  unsigned char* first = texture_storage + (misalignment == 0 ? 0 : 65536 - misalignment);
  return *std::launder(reinterpret_cast<uint8_t(*)[65536]>(first));
}

}  // namespace

uint8_t (&texture_map)[65536] = aligned_texture_map();

namespace {

constexpr double pi = 3.14159265358979323846;

constexpr int32_t swirl_decay_amount = 14;

uint8_t swirl_radius[frame_size];
uint8_t swirl_angle[frame_size];
// Both tables side by side, angle in the high byte and radius in the low: one load a pixel,
// and adding the twist shifted up 8 gives the texel's 16-bit index at once.
uint16_t swirl_polar[frame_size];
uint8_t swirl_decay[256];
uint8_t swirl_divide[smooth_divide_size];
int32_t swirl_phase = 0;

void build_texture_map() {
  for (int32_t v = 0; v < 256; ++v) {
    for (int32_t u = 0; u < 256; ++u) texture_map[v * 256 + u] = texture_tile[(v / 4) * 64 + u / 4];
  }
}

// Distance from the centre, and the angle around it with three turns of the texture per circle.
void build_polar_tables() {
  for (int32_t y = 0; y < screen_height; ++y) {
    for (int32_t x = 0; x < screen_width; ++x) {
      const int32_t dx = x - screen_centre.x;
      const int32_t dy = y - screen_centre.y;
      const int32_t i = y * screen_width + x;
      swirl_radius[i] = static_cast<uint8_t>(std::lround(std::sqrt(static_cast<double>(dx * dx + dy * dy))));
      if (dx == 0 && dy == 0) {
        swirl_angle[i] = 0;
      } else {
        const double turns = (std::atan2(static_cast<double>(dy), static_cast<double>(dx)) + pi) * 3 * 256 / (2 * pi);
        swirl_angle[i] = static_cast<uint8_t>(std::lround(turns) & 255);
      }
      swirl_polar[i] = static_cast<uint16_t>(swirl_angle[i] << 8 | swirl_radius[i]);
    }
  }
}

}  // namespace

// Table entry i lands one row lower: the pattern's centre is at column 160, row 101.
void swirl_add_texture_plain(uint8_t* frame) {
  uint8_t* pixels = frame + screen_width;
  for (int32_t i = 0; i < frame_size - 2 * screen_width; ++i) {
    const int32_t r = swirl_radius[i];
    const int32_t v = (swirl_angle[i] + swirl_twist(r, swirl_phase)) & 255;
    const int32_t t = texture_map[static_cast<uint16_t>(v << 8 | r)] & 31;
    const int32_t sum = pixels[i] + t;
    pixels[i] = static_cast<uint8_t>(sum > 255 ? 255 : sum);
  }
}

// The same, with the twist looked up once per radius instead of once per pixel and the two
// polar tables read as one. A row's texels are gathered first; adding them with saturation
// then takes sixteen pixels at a time.
void swirl_add_texture(uint8_t* frame) {
  int32_t twist_high[256];
  for (int32_t r = 0; r < 256; ++r) twist_high[r] = swirl_twist(r, swirl_phase) * 256;
  uint8_t texels[screen_width];
  for (int32_t y = 0; y < screen_height - 2; ++y) {
    const uint16_t* polar = swirl_polar + y * screen_width;
    for (int32_t x = 0; x < screen_width; ++x) {
      texels[x] = texture_map[static_cast<uint16_t>(polar[x] + twist_high[polar[x] & 255])];
    }
    uint8_t* pixels = frame + (y + 1) * screen_width;
    for (int32_t x = 0; x < screen_width; ++x) {
      const int32_t sum = pixels[x] + (texels[x] & 31);
      pixels[x] = static_cast<uint8_t>(sum > 255 ? 255 : sum);
    }
  }
}

void swirl_init() {
  build_texture_map();
  build_polar_tables();
  fx_build_decay(swirl_decay, swirl_decay_amount);
  fx_build_divide(swirl_divide);
}

void swirl_draw(uint8_t* frame) {
  fx_frame = frame;
  fx_first_pass(swirl_palette);
  fx_decay(frame, swirl_decay);
  swirl_add_texture(frame);
  fx_smooth(frame, swirl_divide);
}

void swirl_update(double) {
  // The phase falls while the radius term grows outward: the twist rings travel outward.
  for (uint32_t n = 0; n < tick_count; ++n) swirl_phase = (swirl_phase - 3) & 1023;
  tick_count = 0;
}

SwirlProbe swirl_probe() { return {swirl_radius, swirl_angle, swirl_phase}; }
void swirl_reset() { swirl_phase = 0; }
