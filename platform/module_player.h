// What the module player offers beyond platform/music.h: for tests, and for the video backends.
#pragma once
#include <cstdint>

// Makes music_position report this position instead of the module's (for script tests).
void module_player_force_position(bool forced, uint32_t position);

// The picture drawn after a poll reaches the screen some display periods later (at the next flip:
// one), at a phase against the module's rows that stays the same for a whole run; positions are
// reported as heard half a period beyond that, so each beat lands within half a period of its
// sound, either side. A backend with a real screen gives its refresh rate when the display opens
// (0 or less: unknown, 60 Hz) and the periods, in quarters. Without a call (headless) positions
// are those heard at the poll.
constexpr int32_t display_at_next_flip = 4;
void module_player_set_display_rate(int32_t refresh_hz, int32_t quarter_periods_to_screen = display_at_next_flip);
