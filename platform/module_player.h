// What the module player offers beyond platform/music.h: for tests, and for the video backends.
#pragma once
#include <cstdint>

// Makes music_position report this position instead of the module's (for script tests).
void module_player_force_position(bool forced, uint32_t position);

// The picture drawn after a poll reaches the screen at the next flip, one display period later,
// at a phase against the module's rows that stays the same for a whole run; positions are
// reported as heard one and a half periods on, so each beat lands within half a period of its
// sound, either side. A backend with a real screen gives its refresh rate when the display opens
// (0 or less: unknown, 60 Hz). Without a call (headless) positions are those heard at the poll.
void module_player_set_display_rate(int32_t refresh_hz);
