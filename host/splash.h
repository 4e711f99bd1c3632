// What the host draws itself: the splash before the music and the side bars of every pass.
#pragma once
#include <cstdint>

// Two empty frames, the splash faded in, held, faded out; ends on a black palette. False as
// soon as a present fails (its popup has been shown).
bool run_splash_sequence();
// The side-bar picture at columns 0..31 and, mirrored, at columns 288..319.
void draw_side_bars(uint8_t* frame);
