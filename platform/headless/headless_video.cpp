// A display in memory: the back buffer is shown to a hook at every flip, which also moves the
// virtual clock on by one display period.
#include <cstring>

#include "platform/headless/headless.h"
#include "platform/headless/headless_internal.h"
#include "platform/video.h"

namespace {

constexpr int32_t max_pitch = 4096;
constexpr int32_t max_height = 1024;
constexpr int32_t step_count = 7;
constexpr int32_t max_modes = 16;

const VideoMode default_modes[] = {
    {320, 200, 8, 0, 0, 0},
    {320, 240, 8, 0, 0, 0},
    {640, 400, 8, 0, 0, 0},
    {640, 480, 8, 0, 0, 0},
    {640, 480, 32, 0xFF0000, 0xFF00, 0xFF},
};

VideoMode modes[max_modes];
int32_t mode_total = 0;
uint32_t width = 0;
uint32_t height = 0;
int32_t pitch = 0;
int32_t configured_pitch = 0;
uint8_t back_buffer[max_pitch * max_height];
PaletteEntry palette[256];
VideoResult failures[step_count] = {};
uint64_t presents = 0;
HeadlessPresentHook present_hook = nullptr;
void* present_context = nullptr;

VideoResult failure(HeadlessVideoStep step) { return failures[static_cast<int32_t>(step)]; }

void use_default_modes() {
  mode_total = static_cast<int32_t>(sizeof default_modes / sizeof default_modes[0]);
  std::memcpy(modes, default_modes, sizeof default_modes);
}

}  // namespace

VideoResult video_open() {
  if (mode_total == 0) use_default_modes();
  return failure(HeadlessVideoStep::open);
}

VideoResult video_enum_modes(bool (*each)(const VideoMode&, void*), void* context) {
  if (const VideoResult code = failure(HeadlessVideoStep::enum_modes)) return code;
  for (int32_t i = 0; i < mode_total; ++i)
    if (!each(modes[i], context)) break;
  return video_code::ok;
}

VideoResult video_set_mode(uint32_t w, uint32_t h, uint32_t bits_per_pixel) {
  if (const VideoResult code = failure(HeadlessVideoStep::set_mode)) return code;
  const int32_t row_bytes = static_cast<int32_t>(w * (bits_per_pixel / 8));
  if (h > max_height || row_bytes > max_pitch) return video_code::invalid_mode;
  width = w;
  height = h;
  pitch = configured_pitch >= row_bytes && configured_pitch <= max_pitch ? configured_pitch : row_bytes;
  return video_code::ok;
}

VideoResult video_create_surfaces() { return failure(HeadlessVideoStep::create_surfaces); }

VideoResult video_create_palette(const PaletteEntry entries[256]) {
  if (const VideoResult code = failure(HeadlessVideoStep::create_palette)) return code;
  std::memcpy(palette, entries, sizeof palette);
  return video_code::ok;
}

void video_set_palette(const PaletteEntry entries[256]) { std::memcpy(palette, entries, sizeof palette); }

VideoResult video_lock(uint8_t** pixels, int32_t* row_pitch) {
  if (const VideoResult code = failure(HeadlessVideoStep::lock)) return code;
  *pixels = back_buffer;
  *row_pitch = pitch;
  return video_code::ok;
}

void video_unlock() {}

VideoResult video_flip() {
  ++presents;
  if (present_hook) present_hook(back_buffer, pitch, palette, presents, present_context);
  headless_advance_clock(headless_next_period());
  return failure(HeadlessVideoStep::flip);
}

const char* video_last_error() { return "the headless display was told to fail"; }

void headless_set_present_hook(HeadlessPresentHook hook, void* context) {
  present_hook = hook;
  present_context = context;
}

void headless_set_pitch(int32_t bytes) { configured_pitch = bytes; }

void headless_set_modes(const VideoMode* list, int32_t count) {
  mode_total = count < max_modes ? count : max_modes;
  std::memcpy(modes, list, sizeof(VideoMode) * static_cast<size_t>(mode_total));
}

void headless_fail_video(HeadlessVideoStep step, VideoResult code) { failures[static_cast<int32_t>(step)] = code; }

uint64_t headless_present_count() { return presents; }
const uint8_t* headless_back_buffer() { return back_buffer; }
const PaletteEntry* headless_palette() { return palette; }

void headless_reset_video() {
  use_default_modes();
  width = height = 0;
  pitch = 0;
  configured_pitch = 0;
  std::memset(back_buffer, 0, sizeof back_buffer);
  std::memset(palette, 0, sizeof palette);
  std::memset(failures, 0, sizeof failures);
  presents = 0;
  present_hook = nullptr;
  present_context = nullptr;
}
