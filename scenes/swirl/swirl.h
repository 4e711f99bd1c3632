#pragma once
// Scene 2: a texture wrapped around the centre through polar tables, bent by a travelling twist.
#include <cstdint>

void swirl_init();
void swirl_draw(uint8_t* frame);
void swirl_update(double ticks);

// 256x256 texels, texel (u, v) at v * 256 + u; built by swirl_init, read by the sphere too.
// Aligned to 64 KiB so that a 16-bit index addresses it directly.
alignas(65536) extern uint8_t texture_map[65536];

extern const uint8_t texture_tile[64 * 64];
extern const int32_t fine_sine[1024];
extern const uint8_t swirl_palette[768];
