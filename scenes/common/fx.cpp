#include "scenes/common/fx.h"

#include <cstring>

uint8_t beat_pulse = 0;

void on_beat_pulse() { beat_pulse = 1; }

namespace {
uint8_t grain_storage[grain_frame_count][frame_size];
}

uint8_t* const grain_frames[grain_frame_count] = {
    grain_storage[0], grain_storage[1], grain_storage[2], grain_storage[3],
    grain_storage[4], grain_storage[5], grain_storage[6],
};

uint32_t grain_seed = 3;

uint8_t grain_random() {
  grain_seed = grain_seed * 1107030247u + 97177u;
  return static_cast<uint8_t>((grain_seed >> 15) & 63);
}

void grain_build() {
  uint8_t* face = grain_frames[grain_face_frame];
  for (int32_t n = 0; n < face_height; ++n) {
    for (int32_t m = 0; m < face_width; ++m) {
      const uint8_t v = face_picture[n * face_width + m];
      uint8_t* p = face + 2 * n * screen_width + 2 * m;
      p[0] = v;
      p[1] = v;
      p[screen_width] = v;
      p[screen_width + 1] = v;
    }
  }
  for (int32_t f = 0; f < grain_face_frame; ++f) {
    for (int32_t i = 0; i < frame_size; ++i) grain_frames[f][i] = grain_random();
  }
}

void fx_clear(void* destination, uint32_t count) {
  std::memset(destination, 0, count & ~3u);
}

void fx_build_decay(uint8_t table[256], int32_t amount) {
  for (int32_t v = 0; v < 256; ++v) table[v] = static_cast<uint8_t>(v > amount ? v - amount : 0);
}

void fx_decay(uint8_t* frame, const uint8_t table[256]) {
  for (int32_t i = 0; i < frame_size; ++i) frame[i] = table[frame[i]];
}

void fx_build_divide(uint8_t table[smooth_divide_size]) {
  for (int32_t s = 0; s < smooth_divide_size; ++s) table[s] = static_cast<uint8_t>(s / 5);
}

void fx_smooth(uint8_t* frame, const uint8_t divide[smooth_divide_size]) {
  // In place and in address order: the pixel above and the one to the left are already new.
  for (int32_t i = screen_width; i < frame_size - screen_width; ++i) {
    frame[i] = divide[frame[i] + frame[i - screen_width] + frame[i + screen_width] +
                      frame[i - 1] + frame[i + 1]];
  }
}

void fx_or_frame(uint8_t* frame, const uint8_t* source) {
  for (int32_t i = 0; i < frame_size; ++i) frame[i] |= source[i];
}

void fx_clear_row(uint8_t* frame, int32_t row, int32_t first_column, int32_t end_column) {
  std::memset(frame + row * screen_width + first_column, 0,
              static_cast<size_t>(end_column - first_column));
}
