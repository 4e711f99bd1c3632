// Scene 2: a texture wrapped around the centre through polar tables, bent by a travelling twist.
#pragma once
#include <cstdint>

void swirl_init();
void swirl_draw(uint8_t* frame);
void swirl_update(double ticks);

// 256x256 texels, texel (u, v) at v * 256 + u; built by swirl_init, read by the sphere too.
// Aligned to 64 KiB so that a 16-bit index addresses it directly; the alignment is made at
// start-up inside a larger block, since some object formats (Windows') cannot align a variable
// that far.
extern uint8_t (&texture_map)[65536];

extern const uint8_t texture_tile[64 * 64];
extern const int32_t fine_sine[1024];
extern const uint8_t swirl_palette[768];

// The angle bend at a radius for a phase: fine_sine[(radius * 8 + phase) & 1023] >> 11, -32..32.
inline int32_t swirl_twist(int32_t radius, int32_t phase) { return fine_sine[(radius * 8 + phase) & 1023] >> 11; }

// The swirl step of a pass on its own: adds the texels' low five bits onto rows 1..198.
void swirl_add_texture(uint8_t* frame);
// The same step in its plainest form, a twist lookup per pixel: the reference swirl_add_texture
// is tested against.
void swirl_add_texture_plain(uint8_t* frame);

// A read-only look at the polar tables (entry y * 320 + x) and the phase, for tests; and the
// phase's return to its start value.
struct SwirlProbe {
  const uint8_t* radius;
  const uint8_t* angle;
  int32_t phase;
};
SwirlProbe swirl_probe();
void swirl_reset();
