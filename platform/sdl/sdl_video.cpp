// The palettized mode, emulated: the 8-bit back buffer goes through the palette into a
// streaming texture, shown letter-boxed at 4:3 (the shape of a 320x200 mode on a CRT) with
// nearest-neighbour scaling, at the display's refresh rate.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

#include "platform/sdl/sdl_internal.h"
#include "platform/video.h"

namespace {

using clock_type = std::chrono::steady_clock;

constexpr uint32_t max_width = 640;
constexpr uint32_t max_height = 480;

const VideoMode emulated_modes[] = {
    {320, 200, 8, 0, 0, 0},
    {320, 240, 8, 0, 0, 0},
    {640, 400, 8, 0, 0, 0},
    {640, 480, 8, 0, 0, 0},
};

SDL_Renderer* renderer = nullptr;
SDL_Texture* texture = nullptr;
uint32_t width = 0;
uint32_t height = 0;
uint8_t back_buffer[max_width * max_height];
uint32_t palette_argb[256];
clock_type::duration frame_period = std::chrono::microseconds(16667);
clock_type::time_point last_flip;
char last_error[256] = "";

VideoResult fail(VideoResult code, const char* what) {
  std::snprintf(last_error, sizeof last_error, "%s: %s", what, SDL_GetError());
  return code;
}

void read_refresh_rate() {
  SDL_DisplayMode mode;
  const int display_index = SDL_GetWindowDisplayIndex(sdl_main_window());
  int hz = 60;
  if (display_index >= 0 && SDL_GetCurrentDisplayMode(display_index, &mode) == 0 &&
      mode.refresh_rate > 0)
    hz = mode.refresh_rate;
  frame_period = std::chrono::duration_cast<clock_type::duration>(std::chrono::seconds(1)) / hz;
}

SDL_Rect letterbox() {
  int out_w = 0;
  int out_h = 0;
  SDL_GetRendererOutputSize(renderer, &out_w, &out_h);
  int w = out_w;
  int h = out_w * 3 / 4;
  if (h > out_h) {
    h = out_h;
    w = out_h * 4 / 3;
  }
  return SDL_Rect{(out_w - w) / 2, (out_h - h) / 2, w, h};
}

// Where the renderer does not wait for the vertical blank (a software renderer, a virtual X
// server) the flip sleeps out the rest of the display period instead of spinning.
void pace() {
  const clock_type::time_point now = clock_type::now();
  const clock_type::time_point target = last_flip + frame_period;
  if (now + std::chrono::microseconds(500) < target) {
    std::this_thread::sleep_until(target);
    last_flip = target;
  } else {
    last_flip = now;
  }
}

}  // namespace

void sdl_video_release() {
  if (texture) SDL_DestroyTexture(texture);
  if (renderer) SDL_DestroyRenderer(renderer);
  texture = nullptr;
  renderer = nullptr;
}

VideoResult video_open() {
  SDL_Window* window = sdl_main_window();
  if (!window) return fail(video_code::no_window, "no window to show the display in");
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");
  renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC);
  if (!renderer) renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
  if (!renderer) return fail(video_code::no_device, "no usable video device for the window");
  read_refresh_rate();
  last_flip = clock_type::now();
  return video_code::ok;
}

VideoResult video_enum_modes(bool (*each)(const VideoMode&, void*), void* context) {
  for (const VideoMode& mode : emulated_modes)
    if (!each(mode, context)) break;
  return video_code::ok;
}

VideoResult video_set_mode(uint32_t w, uint32_t h, uint32_t bits_per_pixel) {
  if (bits_per_pixel != 8 || w > max_width || h > max_height) {
    std::snprintf(last_error, sizeof last_error, "%ux%u at %u bits is not offered", w, h, bits_per_pixel);
    return video_code::invalid_mode;
  }
  width = w;
  height = h;
  return video_code::ok;
}

VideoResult video_create_surfaces() {
  texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                              static_cast<int>(width), static_cast<int>(height));
  if (!texture) return fail(video_code::out_of_video_memory, "cannot create the screen texture");
  std::memset(back_buffer, 0, sizeof back_buffer);
  return video_code::ok;
}

VideoResult video_create_palette(const PaletteEntry entries[256]) {
  video_set_palette(entries);
  return video_code::ok;
}

void video_set_palette(const PaletteEntry entries[256]) {
  for (int i = 0; i < 256; ++i) {
    palette_argb[i] = 0xFF000000u | static_cast<uint32_t>(entries[i].red) << 16 |
                      static_cast<uint32_t>(entries[i].green) << 8 | entries[i].blue;
  }
}

VideoResult video_lock(uint8_t** pixels, int32_t* pitch) {
  *pixels = back_buffer;
  *pitch = static_cast<int32_t>(width);
  return video_code::ok;
}

void video_unlock() {}

VideoResult video_flip() {
  if (!renderer || !texture) return fail(video_code::surface_lost, "the screen is gone");
  void* target = nullptr;
  int target_pitch = 0;
  if (SDL_LockTexture(texture, nullptr, &target, &target_pitch) != 0)
    return fail(video_code::surface_lost, "cannot write the screen texture");
  for (uint32_t y = 0; y < height; ++y) {
    const uint8_t* source = back_buffer + y * width;
    uint32_t* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(target) + y * target_pitch);
    for (uint32_t x = 0; x < width; ++x) row[x] = palette_argb[source[x]];
  }
  SDL_UnlockTexture(texture);
  SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
  SDL_RenderClear(renderer);
  const SDL_Rect destination = letterbox();
  if (SDL_RenderCopy(renderer, texture, nullptr, &destination) != 0)
    return fail(video_code::generic, "cannot draw the screen texture");
  SDL_RenderPresent(renderer);
  pace();
  return video_code::ok;
}

const char* video_last_error() { return last_error; }
