// Shared between the headless platform's files only.
#pragma once
#include <cstdint>

// One display period of the configured rate, spread so that periods add up exactly.
uint64_t headless_next_period();
// Renders the playing module up to this virtual time.
void headless_render_music_until(uint64_t time_ns);
void headless_reset_clock();
void headless_reset_music();
void headless_reset_window();
void headless_reset_video();
