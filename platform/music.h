// Music device: plays one tracker module on its own schedule and reports where it is.
#pragma once
#include <cstdint>

using MusicHandle = uint32_t;

// A module position in one word, as music_position reports it: order in the low 16 bits, row in
// the high 16 bits.
struct MusicPosition {
  uint32_t order;
  uint32_t row;
};
constexpr uint32_t music_pack_position(uint32_t order, uint32_t row) { return (order & 0xFFFF) | row << 16; }
constexpr MusicPosition music_unpack_position(uint32_t position) { return {position & 0xFFFF, position >> 16}; }

// Opens the default output device at 44100 Hz stereo.
bool music_init_device();
// Loads a module from a file, set to loop at its end. 0 on failure.
MusicHandle music_load(const char* path);
// Starts output and the module from its beginning.
bool music_play(MusicHandle music);
// Position of what is audible now, packed as music_pack_position packs it.
uint32_t music_position(MusicHandle music);
// Looks after the output as a poll of the position does (a device lost, the retry, a new default
// output, the module rendered silently while none plays), for while no position is asked for.
void music_look_after(MusicHandle music);
// The loaded module's order list, for checking the script against it: the number of orders, and
// the rows of the pattern an order plays, or -1 when the order is outside the list or plays no
// pattern (a skip or end marker, a missing pattern).
int32_t music_order_count(MusicHandle music);
int32_t music_pattern_rows(MusicHandle music, int32_t order);
// Stops and releases the device and any loaded module.
void music_free();
// The reason of the last failure, for messages.
const char* music_last_error();
