// Scene 0: glowing blobs flying between a random cloud and the logo word.
#pragma once
#include <cstdint>

#include "scenes/common/fixed3d.h"

void swarm_init();
void swarm_draw(uint8_t* frame);
void swarm_update(double ticks);

extern const uint8_t logo_bitmap[32 * 32];
extern const uint8_t blob_sprite[16 * 16];
extern const uint8_t swarm_palette[768];
// Per-particle wobble of up to 2 pixels, indexed by jitter phase + 3 * particle.
extern const int32_t swarm_jitter_x[256];
extern const int32_t swarm_jitter_y[256];

constexpr int32_t swarm_capacity = 1024;
constexpr uint32_t swarm_morph_ticks = 625;  // one flight between cloud and logo
constexpr int32_t swarm_hold_ticks = 512;    // the logo stands still a little longer

// Next value of the scene's own generator, -256..255.
int32_t swarm_random();

// Adds the blob with its top-left corner at (x, y), saturating, kept inside columns 2..318 and
// rows 2..198.
void swarm_plot_sprite(uint8_t* frame, int32_t x, int32_t y);

// A read-only look at the scene's state, for tests.
struct SwarmProbe {
  const Vec2* cloud;
  const Vec2* logo;
  const Vec2* pos;
  const Vec2* vel;
  const Vec2* ipos;
  const Vec2* screen;
  int32_t count;
  uint32_t timer;
  int32_t start;
  uint8_t to_logo;
  uint8_t hold;
  int32_t hold_left;
  uint32_t angle;
  uint32_t swing_phase;
  uint32_t jitter_phase;
  uint32_t step;
  int32_t wobble_x;
  int32_t wobble_y;
  uint32_t last_ticks;
  const int32_t* swing;
};
SwarmProbe swarm_probe();
