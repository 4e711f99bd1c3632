// The palettized mode, emulated: the 8-bit back buffer goes through the palette onto the
// screen, letter-boxed at 4:3 (the shape of a 320x200 mode on a CRT) with nearest-neighbour
// scaling, at the display's refresh rate.
//
// Two ways onto the screen. With a graphics processor a renderer scales a streaming texture
// and waits for the vertical blank. Where a renderer would draw on the processor anyway (SDL's
// software renderer, or a software OpenGL such as llvmpipe on a virtual X server), scaling
// through it costs several times more than writing the scaled picture straight into the
// window's own pixels: the flip does that instead, sends only the picture's rectangle, and
// sends nothing when neither the frame nor the palette has changed.
#include <chrono>
#include <cstdio>
#include <cstring>

#include "platform/emulated_modes.h"
#include "platform/frame_pacer.h"
#include "platform/letterbox.h"
#include "platform/module_player.h"
#include "platform/sdl/sdl_internal.h"
#include "platform/video.h"
#include "platform/video_frame.h"

namespace {

using clock_type = std::chrono::steady_clock;

constexpr int max_window_width = 16384;

SDL_Renderer* renderer = nullptr;
SDL_Texture* texture = nullptr;
bool window_pixels = false;  // drawing straight into the window's surface, no renderer
PaletteEntry palette[256];
uint32_t palette_argb[256];
bool palette_changed = true;
FramePacer pacer;
char last_error[256] = "";

// What the window-pixels way last put on the screen, and how the picture lies in the window.
struct WindowPicture {
  SDL_Surface* surface = nullptr;  // the surface the layout was made for
  int surface_w = 0;
  int surface_h = 0;
  SDL_Rect place = {};                       // the letter-boxed picture
  uint16_t column_source[max_window_width];  // the source column of each window column
  uint32_t pixel[256];                       // the palette in the surface's own format
  uint8_t shown[emulated_max_width * emulated_max_height];
  bool current = false;  // shown and pixel are what the screen holds
};
WindowPicture picture;

VideoResult fail(VideoResult code, const char* what) {
  std::snprintf(last_error, sizeof last_error, "%s: %s", what, SDL_GetError());
  return code;
}

// The display's refresh rate; 0 when unknown.
int refresh_rate() {
  SDL_DisplayMode mode;
  const int display_index = SDL_GetWindowDisplayIndex(sdl_main_window());
  if (display_index >= 0 && SDL_GetCurrentDisplayMode(display_index, &mode) == 0) return mode.refresh_rate;
  return 0;
}

SDL_Rect picture_rect(int out_w, int out_h) {
  const PictureBox box = letterbox(out_w, out_h);
  return SDL_Rect{box.x, box.y, box.w, box.h};
}

// True when the renderer draws with the processor: SDL's software renderer, or OpenGL done in
// software (Mesa's llvmpipe and softpipe, the old swrast).
bool draws_on_processor(SDL_Renderer* candidate) {
  SDL_RendererInfo info;
  if (SDL_GetRendererInfo(candidate, &info) != 0) return false;
  if (info.flags & SDL_RENDERER_SOFTWARE) return true;
  if (std::strncmp(info.name, "opengl", 6) != 0) return false;
  using GetString = const unsigned char* (*)(unsigned int);
  const auto get_string = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
  if (!get_string) return false;
  constexpr unsigned int gl_renderer = 0x1F01;
  const char* name = reinterpret_cast<const char*>(get_string(gl_renderer));
  if (!name) return false;
  for (const char* software : {"llvmpipe", "softpipe", "Software Rasterizer"}) {
    if (std::strstr(name, software)) return true;
  }
  return false;
}

// --- The renderer's way: the texture, scaled by the graphics processor.

VideoResult flip_through_renderer() {
  if (!renderer || !texture) return fail(video_code::surface_lost, "the screen is gone");
  void* target = nullptr;
  int target_pitch = 0;
  if (SDL_LockTexture(texture, nullptr, &target, &target_pitch) != 0)
    return fail(video_code::surface_lost, "cannot write the screen texture");
  for (uint32_t y = 0; y < video_frame.height; ++y) {
    const uint8_t* source = video_frame.pixels + y * video_frame.width;
    uint32_t* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(target) + y * target_pitch);
    for (uint32_t x = 0; x < video_frame.width; ++x) row[x] = palette_argb[source[x]];
  }
  SDL_UnlockTexture(texture);
  SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
  SDL_RenderClear(renderer);
  int out_w = 0;
  int out_h = 0;
  SDL_GetRendererOutputSize(renderer, &out_w, &out_h);
  const SDL_Rect destination = picture_rect(out_w, out_h);
  if (SDL_RenderCopy(renderer, texture, nullptr, &destination) != 0)
    return fail(video_code::generic, "cannot draw the screen texture");
  SDL_RenderPresent(renderer);
  return video_code::ok;
}

// --- The window's own pixels: the picture scaled here, in one pass.

// Every window pixel shows the source pixel under its centre, as the renderer's
// nearest-neighbour sampling does. A centre exactly on the edge between two source pixels
// takes the one on the left, or the one below, as the OpenGL renderer's rounding does.
int64_t source_column(int64_t x, int64_t window_width) {
  return ((2 * x + 1) * video_frame.width - 1) / (2 * window_width);
}
int64_t source_row(int64_t y, int64_t window_height) { return (2 * y + 1) * video_frame.height / (2 * window_height); }

// The picture's place in a new or resized window, and the source column of each window column.
void lay_out(SDL_Surface* surface) {
  picture.surface = surface;
  picture.surface_w = surface->w;
  picture.surface_h = surface->h;
  picture.place = picture_rect(surface->w < max_window_width ? surface->w : max_window_width, surface->h);
  for (int64_t x = 0; x < picture.place.w; ++x)
    picture.column_source[x] = static_cast<uint16_t>(source_column(x, picture.place.w));
  picture.current = false;
}

void map_palette(const SDL_PixelFormat* format) {
  for (int i = 0; i < 256; ++i)
    picture.pixel[i] = SDL_MapRGB(format, palette[i].red, palette[i].green, palette[i].blue);
}

// One window row from one source row: the row's pixel values first, then one read per window
// pixel through the column map (no branch on how many columns a pixel covers).
void scale_row(const uint8_t* source, uint8_t* out, int bytes_per_pixel) {
  uint32_t values[emulated_max_width];
  for (uint32_t x = 0; x < video_frame.width; ++x) values[x] = picture.pixel[source[x]];
  const int count = picture.place.w;
  if (bytes_per_pixel == 4) {
    uint32_t* at = reinterpret_cast<uint32_t*>(out);
    for (int x = 0; x < count; ++x) at[x] = values[picture.column_source[x]];
    return;
  }
  for (int x = 0; x < count; ++x) {
    // The low bytes of the value, on this little-endian machine.
    std::memcpy(out + x * bytes_per_pixel, &values[picture.column_source[x]], static_cast<size_t>(bytes_per_pixel));
  }
}

// Each source row is scaled once; the window rows that repeat it are copies.
void draw_picture(SDL_Surface* surface) {
  const SDL_Rect& place = picture.place;
  const int bytes_per_pixel = surface->format->BytesPerPixel;
  uint8_t* first = static_cast<uint8_t*>(surface->pixels) + place.y * surface->pitch + place.x * bytes_per_pixel;
  const size_t row_bytes = static_cast<size_t>(place.w) * static_cast<size_t>(bytes_per_pixel);
  const uint8_t* previous = nullptr;
  int64_t previous_source = -1;
  for (int64_t y = 0; y < place.h; ++y) {
    uint8_t* out = first + y * surface->pitch;
    const int64_t source = source_row(y, place.h);
    if (source == previous_source) {
      std::memcpy(out, previous, row_bytes);
    } else {
      scale_row(video_frame.pixels + source * video_frame.width, out, bytes_per_pixel);
    }
    previous = out;
    previous_source = source;
  }
}

VideoResult flip_to_window() {
  SDL_Window* window = sdl_main_window();
  SDL_Surface* surface = window ? SDL_GetWindowSurface(window) : nullptr;
  if (!surface) return fail(video_code::surface_lost, "the screen is gone");
  const bool new_layout = surface != picture.surface || surface->w != picture.surface_w ||
                          surface->h != picture.surface_h;
  if (new_layout) lay_out(surface);
  const size_t frame_bytes = static_cast<size_t>(video_frame.width) * video_frame.height;
  if (picture.current && !palette_changed && std::memcmp(video_frame.pixels, picture.shown, frame_bytes) == 0)
    return video_code::ok;  // the screen already shows this
  if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0)
    return fail(video_code::surface_lost, "cannot write the screen");
  if (new_layout) std::memset(surface->pixels, 0, static_cast<size_t>(surface->pitch) * surface->h);
  if (new_layout || palette_changed) map_palette(surface->format);
  draw_picture(surface);
  if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
  std::memcpy(picture.shown, video_frame.pixels, frame_bytes);
  picture.current = true;
  palette_changed = false;
  const int result = new_layout ? SDL_UpdateWindowSurface(window)
                                : SDL_UpdateWindowSurfaceRects(window, &picture.place, 1);
  if (result != 0) return fail(video_code::generic, "cannot draw the screen");
  return video_code::ok;
}

}  // namespace

void sdl_video_release() {
  if (texture) SDL_DestroyTexture(texture);
  if (renderer) SDL_DestroyRenderer(renderer);
  texture = nullptr;
  renderer = nullptr;
  window_pixels = false;
  picture.surface = nullptr;
  picture.current = false;
}

void sdl_video_exposed() {
  // The window system lost what was on screen: draw and send the whole window again.
  picture.surface = nullptr;
  picture.current = false;
}

VideoResult video_open() {
  SDL_Window* window = sdl_main_window();
  if (!window) return fail(video_code::no_window, "no window to show the display in");
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");
  renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC);
  if (!renderer) renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
  if (!renderer) return fail(video_code::no_device, "no usable video device for the window");
  if (draws_on_processor(renderer)) {
    SDL_DestroyRenderer(renderer);
    renderer = nullptr;
    // The window's own pixels, not a texture of yet another renderer.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    window_pixels = SDL_GetWindowSurface(window) != nullptr;
    if (!window_pixels) renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC);
    if (!renderer && !window_pixels) return fail(video_code::no_device, "no usable video device for the window");
  }
  frame_pacer_start(pacer, refresh_rate(), clock_type::now());
  module_player_set_display_rate(refresh_rate());
  return video_code::ok;
}

VideoResult video_enum_modes(bool (*each)(const VideoMode&, void*), void* context) {
  return emulated_modes_enum(each, context);
}

VideoResult video_set_mode(uint32_t w, uint32_t h, uint32_t bits_per_pixel) {
  if (const VideoResult code = emulated_mode_check(w, h, bits_per_pixel, last_error, sizeof last_error)) return code;
  video_frame.width = w;
  video_frame.height = h;
  picture.surface = nullptr;
  picture.current = false;
  return video_code::ok;
}

VideoResult video_create_surfaces() {
  std::memset(video_frame.pixels, 0, sizeof video_frame.pixels);
  if (window_pixels) {
    if (!SDL_GetWindowSurface(sdl_main_window()))
      return fail(video_code::out_of_video_memory, "cannot reach the window's pixels");
    return video_code::ok;
  }
  texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                              static_cast<int>(video_frame.width), static_cast<int>(video_frame.height));
  if (!texture) return fail(video_code::out_of_video_memory, "cannot create the screen texture");
  return video_code::ok;
}

VideoResult video_create_palette(const PaletteEntry entries[256]) {
  video_set_palette(entries);
  return video_code::ok;
}

void video_set_palette(const PaletteEntry entries[256]) {
  if (std::memcmp(palette, entries, sizeof palette) == 0 && !palette_changed) return;
  std::memcpy(palette, entries, sizeof palette);
  for (int i = 0; i < 256; ++i) {
    palette_argb[i] = 0xFF000000u | static_cast<uint32_t>(entries[i].red) << 16 |
                      static_cast<uint32_t>(entries[i].green) << 8 | entries[i].blue;
  }
  palette_changed = true;
}

VideoResult video_flip() {
  frame_pacer_wait(pacer);  // shown at the period's end, as a flip that waits for the blank
  return window_pixels ? flip_to_window() : flip_through_renderer();
}

const char* video_last_error() { return last_error; }
