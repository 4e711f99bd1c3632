// The palettized mode, emulated on a canvas: each flip turns the 8-bit back buffer into RGBA
// through the palette and hands it to the page, which puts it on the canvas at the next
// animation frame; the page scales it to 4:3 with nearest-neighbour sampling.
#include <cstdio>
#include <cstring>

#include "platform/emulated_modes.h"
#include "platform/module_player.h"
#include "platform/video.h"
#include "platform/video_frame.h"
#include "platform/web/web_page.h"
#include "platform/web/web_video_state.h"

namespace {

bool canvas_open = false;
PaletteEntry palette[256];
uint32_t palette_rgba[256];  // the bytes R, G, B, A in memory, as ImageData holds them
uint32_t picture[emulated_max_width * emulated_max_height];
WebShownFrame shown;
char last_error[256] = "";

VideoResult fail(VideoResult code, const char* text) {
  std::snprintf(last_error, sizeof last_error, "%s", text);
  return code;
}

}  // namespace

VideoResult video_open() {
  canvas_open = web_page_open_canvas(320, 200);
  if (!canvas_open) return fail(video_code::no_device, "this browser cannot draw on a canvas");
  return video_code::ok;
}

VideoResult video_enum_modes(bool (*each)(const VideoMode&, void*), void* context) {
  return emulated_modes_enum(each, context);
}

VideoResult video_set_mode(uint32_t w, uint32_t h, uint32_t bits_per_pixel) {
  if (const VideoResult code = emulated_mode_check(w, h, bits_per_pixel, last_error, sizeof last_error)) return code;
  if (!web_page_open_canvas(w, h)) return fail(video_code::invalid_mode, "the canvas cannot take that size");
  video_frame.width = w;
  video_frame.height = h;
  // Animation frames come at a rate the page does not know. A canvas drawn in one reaches the
  // screen one or two periods on, which of them depending on the phase of the browser's
  // compositor (it changes from run to run): reported as one and three quarters.
  module_player_set_display_rate(0, 7);
  return video_code::ok;
}

VideoResult video_create_surfaces() {
  if (!canvas_open) return fail(video_code::surface_lost, "no canvas");
  std::memset(video_frame.pixels, 0, sizeof video_frame.pixels);
  return video_code::ok;
}

VideoResult video_create_palette(const PaletteEntry entries[256]) {
  video_set_palette(entries);
  return video_code::ok;
}

void video_set_palette(const PaletteEntry entries[256]) {
  std::memcpy(palette, entries, sizeof palette);
  for (int i = 0; i < 256; ++i) {
    palette_rgba[i] = 0xFF000000u | static_cast<uint32_t>(entries[i].blue) << 16 |
                      static_cast<uint32_t>(entries[i].green) << 8 | entries[i].red;
  }
}

VideoResult video_flip() {
  if (!canvas_open || video_frame.width == 0) return fail(video_code::surface_lost, "the canvas is gone");
  const uint32_t count = video_frame.width * video_frame.height;
  for (uint32_t i = 0; i < count; ++i) picture[i] = palette_rgba[video_frame.pixels[i]];
  std::memcpy(shown.pixels, video_frame.pixels, count);
  std::memcpy(shown.palette, palette, sizeof palette);
  shown.width = video_frame.width;
  shown.height = video_frame.height;
  ++shown.flips;
  web_page_show_frame(picture, video_frame.width, video_frame.height);
  return video_code::ok;
}

const char* video_last_error() { return last_error; }

const WebShownFrame& web_shown_frame() { return shown; }
