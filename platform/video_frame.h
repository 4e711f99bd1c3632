// The frame the core draws into, in system memory, for every backend whose screen is not itself
// a lockable 8-bit surface: the flip turns it into whatever the screen takes.
#pragma once
#include <cstdint>

#include "platform/emulated_modes.h"

struct VideoFrame {
  uint8_t pixels[emulated_max_width * emulated_max_height];  // rows of `width` bytes
  uint32_t width;
  uint32_t height;
};

extern VideoFrame video_frame;
