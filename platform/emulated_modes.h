// The palettized modes a backend offers by converting its 8-bit back buffer through the palette,
// the same wherever no real 8-bit mode exists.
#pragma once
#include <cstddef>
#include <cstdio>

#include "platform/video.h"

constexpr uint32_t emulated_max_width = 640;
constexpr uint32_t emulated_max_height = 480;

inline constexpr VideoMode emulated_modes[] = {
    {320, 200, 8, 0, 0, 0},
    {320, 240, 8, 0, 0, 0},
    {640, 400, 8, 0, 0, 0},
    {640, 480, 8, 0, 0, 0},
};

inline VideoResult emulated_modes_enum(bool (*each)(const VideoMode&, void*), void* context) {
  for (const VideoMode& mode : emulated_modes)
    if (!each(mode, context)) break;
  return video_code::ok;
}

// ok when the mode fits the emulated back buffer; otherwise invalid_mode, the reason in error.
inline VideoResult emulated_mode_check(uint32_t width, uint32_t height, uint32_t bits_per_pixel, char* error,
                                       size_t error_size) {
  if (bits_per_pixel == 8 && width <= emulated_max_width && height <= emulated_max_height) return video_code::ok;
  std::snprintf(error, error_size, "%ux%u at %u bits is not offered", width, height, bits_per_pixel);
  return video_code::invalid_mode;
}
