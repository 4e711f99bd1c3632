#pragma once
// Scene 0: glowing blobs flying between a random cloud and the logo word.
#include <cstdint>

void swarm_init();
void swarm_draw(uint8_t* frame);
void swarm_update(double ticks);

extern const uint8_t logo_bitmap[32 * 32];
extern const uint8_t blob_sprite[16 * 16];
extern const uint8_t swarm_palette[768];
