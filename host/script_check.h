// Whether the loaded module plays every position the script waits for. The script only moves on
// exact (order, row) matches, so a module without one of them leaves the show stuck short of it.
#pragma once
#include <cstddef>

#include "platform/music.h"

// True when the module has every position of both tables. Otherwise false, with one line in
// message (no newline) naming the first missing position, what the module has there and what
// the show will do: the scene table is looked at first, as it decides whether the show ends.
bool check_script_positions(MusicHandle music, const char* module_name, char* message, size_t message_size);
