// What the canvas shows: the frame and palette of the latest flip, for the page's tests.
#pragma once
#include <cstdint>

#include "platform/video.h"

struct WebShownFrame {
  uint8_t pixels[640 * 480];
  PaletteEntry palette[256];
  uint32_t width;
  uint32_t height;
  uint32_t flips;  // every flip so far, the splash's included
};

const WebShownFrame& web_shown_frame();
