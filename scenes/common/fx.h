// Tables and whole-frame passes that several effects share.
#pragma once
#include <cstddef>
#include <cstdint>

#include "scenes/common/effect.h"

// 512 * sin(2 pi (i + 1) / 1024), rounded: one step ahead of sin(2 pi i / 1024).
extern const int32_t sine_table[1024];

inline int32_t fx_sin(uint32_t angle) { return sine_table[angle & 1023]; }
inline int32_t fx_cos(uint32_t angle) { return sine_table[(angle + 256) & 1023]; }

// Set by the script's beat events, cleared by the scene that flashes on it.
extern uint8_t beat_pulse;
void on_beat_pulse();

// 160x100 two-level face (bytes 0 and 95).
constexpr int32_t face_width = 160;
constexpr int32_t face_height = 100;
extern const uint8_t face_picture[face_width * face_height];

// Frames 0..5: noise 0..63; frame 6: the face picture doubled to 320x200.
constexpr int32_t grain_frame_count = 7;
constexpr int32_t grain_face_frame = 6;
extern uint8_t* const grain_frames[grain_frame_count];
extern uint32_t grain_seed;
void grain_build();
uint8_t grain_random();

// A scene's first pass marks the scene drawn and asks the host to fade to its palette.
// True on that first pass.
inline bool fx_first_pass(const uint8_t* palette) {
  if (scene_first_frame != 0) return false;
  scene_first_frame = 1;
  fade_target = palette;
  fade_pending = 1;
  return true;
}

// One tick of a grain cycle: the 16-bit phase wraps every fourth tick and the index moves on
// through the noise frames 0..5 (after the face frame, 6, comes noise frame 0).
inline void fx_grain_tick(int32_t& index, uint16_t& phase) {
  phase = static_cast<uint16_t>(phase + 16384);
  if (phase == 0 && ++index >= grain_face_frame) index = 0;
}

// Zeroes count bytes rounded down to a multiple of 4.
void fx_clear(void* destination, uint32_t count);

// Decay: a table with entry v = max(0, v - amount), and the pass that applies it.
void fx_build_decay(uint8_t table[256], int32_t amount);
void fx_decay(uint8_t* frame, const uint8_t table[256]);

// Five-point smoothing: a table with entry s = s / 5, and the in-place pass over rows 1..198.
constexpr int32_t smooth_divide_size = 5 * 255 + 1;  // every sum of five pixels
void fx_build_divide(uint8_t table[smooth_divide_size]);
void fx_smooth(uint8_t* frame, const uint8_t divide[smooth_divide_size]);

// OR of a whole frame over the frame buffer (grain).
void fx_or_frame(uint8_t* frame, const uint8_t* source);
// Zeroes columns first..end-1 of one row.
void fx_clear_row(uint8_t* frame, int32_t row, int32_t first_column, int32_t end_column);

// The decay and the smoothing one byte at a time, the plainest statement of each: the reference
// the faster passes above are tested against, and the way they take for tables of another kind.
void fx_decay_plain(uint8_t* frame, const uint8_t table[256]);
void fx_smooth_plain(uint8_t* frame, const uint8_t divide[smooth_divide_size]);
