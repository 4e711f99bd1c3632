// Scene 0: the glowing blobs flying between a random cloud and the logo word.
#include "scenes/swarm/swarm.h"

#include <algorithm>
#include <cstdint>

#include "scenes/common/fx.h"

namespace {

// Start values of the motion state; swarm_init puts them back, so it also serves as a reset.
constexpr uint32_t seed_start = 3;
constexpr int32_t start_index_start = 6;
constexpr uint32_t swing_step = 12288;  // 24-bit phase: one swing in about 1365 ticks
constexpr uint32_t swing_phase_mask = 16777215;

uint32_t swarm_seed = seed_start;

Vec2 swarm_cloud[swarm_capacity];
Vec2 swarm_logo[swarm_capacity];
int32_t swarm_count = 0;

Vec2 swarm_pos[swarm_capacity];   // 16.16
Vec2 swarm_vel[swarm_capacity];   // 16.16 per tick
Vec2 swarm_ipos[swarm_capacity];  // whole pixels about the centre
Vec2 swarm_screen[swarm_capacity];

uint32_t swarm_timer = 0;
int32_t swarm_start = start_index_start;
uint8_t swarm_to_logo = 0;
uint8_t swarm_hold = 0;
int32_t swarm_hold_left = 0;

uint32_t swarm_swing_phase = 0;
uint32_t swarm_angle = 0;
uint32_t swarm_jitter_phase = 0;
uint32_t swarm_step = 0;
uint32_t swarm_wobble_a = 0;
uint32_t swarm_wobble_b = 0;
int32_t swarm_wobble_x = 0;
int32_t swarm_wobble_y = 0;
uint32_t swarm_last_ticks = 0;

int32_t swarm_swing[256];
int32_t swarm_rows[screen_height];
uint8_t swarm_decay[256];
uint8_t swarm_blur_div[smooth_divide_size];

// Velocity that carries a particle from where it is to target in one flight.
// The product is formed in 64 bits: after a very long pass a particle may have wrapped far away.
int32_t flight_velocity(int32_t target, int32_t from) {
  return static_cast<int32_t>((static_cast<int64_t>(target) - from) * 65536 / swarm_morph_ticks);
}

void aim(int32_t k, Vec2 target) {
  swarm_vel[k].x = flight_velocity(target.x, swarm_ipos[k].x);
  swarm_vel[k].y = flight_velocity(target.y, swarm_ipos[k].y);
}

// Every logo point receives exactly one particle, rotated by swarm_start.
void aim_at_logo() {
  for (int32_t k = 0; k < swarm_count; ++k) aim(k, swarm_logo[(swarm_start + k) % swarm_count]);
}

// Cloud points from swarm_start on; the index restarts at 0 once it passes swarm_count.
void aim_at_cloud() {
  int32_t i = swarm_start;
  for (int32_t k = 0; k < swarm_count; ++k) {
    aim(k, swarm_cloud[i]);
    if (++i > swarm_count) i = 0;
  }
}

void morph_step() {
  swarm_start = (swarm_start + swarm_cloud[swarm_step].x) & 1023;
  swarm_timer = 0;
  if (swarm_to_logo == 0) {
    aim_at_logo();
    swarm_to_logo = 1;
  } else {
    // The particles have just reached the logo: it stands still first, then they scatter.
    aim_at_cloud();
    swarm_hold_left = swarm_hold_ticks;
    swarm_hold = 1;
    swarm_to_logo = 0;
  }
}

// Advances the particles by the ticks of the previous pass (draw runs before update).
void move(uint32_t ticks) {
  if (swarm_hold) {
    const int64_t left = static_cast<int64_t>(swarm_hold_left) - ticks;
    if (left < 0) swarm_hold = 0;
    swarm_hold_left = static_cast<int32_t>(std::max<int64_t>(left, INT32_MIN));
    return;
  }
  // ticks steps of pos += vel at once; unsigned so that a very long pass wraps as the
  // 32-bit sum would instead of overflowing.
  for (int32_t k = 0; k < swarm_count; ++k) {
    swarm_pos[k].x = static_cast<int32_t>(static_cast<uint32_t>(swarm_pos[k].x) +
                                          static_cast<uint32_t>(swarm_vel[k].x) * ticks);
    swarm_pos[k].y = static_cast<int32_t>(static_cast<uint32_t>(swarm_pos[k].y) +
                                          static_cast<uint32_t>(swarm_vel[k].y) * ticks);
    swarm_ipos[k].x = swarm_pos[k].x >> 16;
    swarm_ipos[k].y = swarm_pos[k].y >> 16;
  }
  swarm_timer += ticks;
  if (swarm_timer >= swarm_morph_ticks) morph_step();
}

// Rotation by the swing angle about the wobbling centre.
void transform() {
  for (int32_t k = 0; k < swarm_count; ++k) {
    const Vec2 turned = fx_rotate_2d(swarm_ipos[k], swarm_angle);
    swarm_screen[k] = {turned.x + screen_centre.x + swarm_wobble_x, turned.y + screen_centre.y + swarm_wobble_y};
  }
}

void plot_particles(uint8_t* frame) {
  for (int32_t k = 0; k < swarm_count; ++k) {
    const uint32_t j = (swarm_jitter_phase + 3 * static_cast<uint32_t>(k)) & 255;
    swarm_plot_sprite(frame, swarm_screen[k].x + swarm_jitter_x[j], swarm_screen[k].y + swarm_jitter_y[j]);
  }
}

}  // namespace

int32_t swarm_random() {
  swarm_seed = swarm_seed * 1107030247u + 97177u;
  return static_cast<int32_t>((swarm_seed >> 15) & 511) - 256;
}

void swarm_init() {
  swarm_seed = seed_start;
  for (Vec2& p : swarm_cloud) {
    p.x = swarm_random();
    p.y = swarm_random();
  }
  // Read as signed angles: up from -65 to +62, then back down.
  for (int32_t i = 0; i < 128; ++i) {
    swarm_swing[i] = (959 + i) & 1023;
    swarm_swing[128 + i] = (62 - i) & 1023;
  }
  // Every particle starts on its cloud point, flying to the cloud point 64 places on.
  for (int32_t k = 0; k < swarm_capacity; ++k) {
    const Vec2 from = swarm_cloud[k], to = swarm_cloud[(k + 64) & 1023];
    swarm_vel[k] = {flight_velocity(to.x, from.x), flight_velocity(to.y, from.y)};
    swarm_ipos[k] = from;
    swarm_pos[k] = {from.x * 65536, from.y * 65536};
    swarm_screen[k] = {0, 0};
  }
  for (int32_t y = 0; y < screen_height; ++y) swarm_rows[y] = screen_width * y;
  fx_build_decay(swarm_decay, 4);
  fx_build_divide(swarm_blur_div);

  swarm_count = 0;
  for (int32_t n = 0; n < 32; ++n) {
    for (int32_t m = 0; m < 32; ++m) {
      if (logo_bitmap[n * 32 + m]) swarm_logo[swarm_count++] = {-128 + 8 * m, -128 + 8 * n};
    }
  }
  swarm_timer = 0;

  swarm_start = start_index_start;
  swarm_to_logo = 0;
  swarm_hold = 0;
  swarm_hold_left = 0;
  swarm_swing_phase = 0;
  swarm_angle = 0;
  swarm_jitter_phase = 0;
  swarm_step = 0;
  swarm_wobble_a = 0;
  swarm_wobble_b = 0;
  swarm_wobble_x = 0;
  swarm_wobble_y = 0;
  swarm_last_ticks = 0;
}

void swarm_plot_sprite(uint8_t* frame, int32_t x, int32_t y) {
  if (x <= -16 || x >= 319 || y <= -16 || y >= 199) return;
  const int32_t columns = x > 302 ? 319 - x : 16;
  const int32_t rows = y > 182 ? 199 - y : 16;
  // Near the left edge the blob is drawn whole from column 2; near the top it is moved two rows
  // down and loses the rows that would still lie above row 2.
  if (x < 2) x = 2;
  int32_t first_row = 0;
  if (y < 2) {
    y += 2;
    if (y < 2) first_row = 2 - y;
  }
  for (int32_t r = first_row; r < rows; ++r) {
    uint8_t* line = frame + swarm_rows[y + r] + x;
    const uint8_t* sprite = blob_sprite + r * 16;
    for (int32_t c = 0; c < columns; ++c) {
      const int32_t sum = line[c] + sprite[c];
      line[c] = static_cast<uint8_t>(sum < 256 ? sum : sum / 2);
    }
  }
}

void swarm_draw(uint8_t* frame) {
  fx_frame = frame;
  if (fx_first_pass(swarm_palette)) fx_clear(frame, frame_size);
  fx_decay(frame, swarm_decay);
  fx_smooth(frame, swarm_blur_div);
  move(swarm_last_ticks);
  transform();
  plot_particles(frame);
}

void swarm_update(double) {
  swarm_last_ticks = tick_count;
  for (uint32_t t = 0; t < tick_count; ++t) {
    swarm_jitter_phase = (swarm_jitter_phase + 1) & 255;
    swarm_swing_phase = (swarm_swing_phase + swing_step) & swing_phase_mask;
    swarm_angle = static_cast<uint32_t>(swarm_swing[swarm_swing_phase >> 16]);
    swarm_step = (swarm_step + 1) & 1023;
    swarm_wobble_a = (swarm_wobble_a + 1) & 1023;
    swarm_wobble_b = (swarm_wobble_b + 2) & 1023;
    swarm_wobble_x = fx_sin(swarm_wobble_a) >> 5;
    swarm_wobble_y = fx_sin(swarm_wobble_b) >> 5;
  }
  tick_count = 0;
}

SwarmProbe swarm_probe() {
  return {swarm_cloud,  swarm_logo,      swarm_pos,      swarm_vel,         swarm_ipos,
          swarm_screen, swarm_count,     swarm_timer,    swarm_start,       swarm_to_logo,
          swarm_hold,   swarm_hold_left, swarm_angle,    swarm_swing_phase, swarm_jitter_phase,
          swarm_step,   swarm_wobble_x,  swarm_wobble_y, swarm_last_ticks,  swarm_swing};
}
