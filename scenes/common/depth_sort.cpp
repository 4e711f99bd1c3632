// The meshes' painter's order: a stable sort of depth keys, largest first.
#include "scenes/common/depth_sort.h"

#include <utility>

void depth_sort_plain(uint32_t* keys, uint32_t* spare, int32_t count) {
  uint32_t* from = keys;
  uint32_t* to = spare;
  for (int bit = 16; bit < 32; ++bit) {
    int32_t set = 0;
    for (int32_t i = 0; i < count; ++i) set += static_cast<int32_t>(from[i] >> bit & 1);
    // Keys with the bit set go first, so larger depths come first; each half keeps its order.
    int32_t front = 0, back = set;
    for (int32_t i = 0; i < count; ++i) {
      const uint32_t key = from[i];
      if (key >> bit & 1) {
        to[front++] = key;
      } else {
        to[back++] = key;
      }
    }
    std::swap(from, to);
  }
}

// The one-bit passes branch on every key's bit, and the depths change from pass to pass, so
// about half of those branches are mispredicted. Counting a byte at a time has no such branch.
void depth_sort(uint32_t* keys, uint32_t* spare, int32_t count) {
  int32_t low[256] = {}, high[256] = {};
  for (int32_t i = 0; i < count; ++i) {
    ++low[keys[i] >> 16 & 255];
    ++high[keys[i] >> 24];
  }
  // Digit 255 goes first: each digit's run starts after the runs of all larger digits.
  int32_t low_at = 0, high_at = 0;
  for (int32_t digit = 255; digit >= 0; --digit) {
    const int32_t low_count = low[digit], high_count = high[digit];
    low[digit] = low_at;
    high[digit] = high_at;
    low_at += low_count;
    high_at += high_count;
  }
  for (int32_t i = 0; i < count; ++i) spare[low[keys[i] >> 16 & 255]++] = keys[i];
  for (int32_t i = 0; i < count; ++i) keys[high[spare[i] >> 24]++] = spare[i];
}
