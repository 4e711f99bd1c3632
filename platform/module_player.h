#pragma once
// What the module player offers beyond platform/music.h, for tests.
#include <cstdint>

// Makes music_position report this position instead of the module's (for script tests).
void module_player_force_position(bool forced, uint32_t position);
