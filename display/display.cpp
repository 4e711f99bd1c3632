// The display's calls on the platform: the palettized mode, palette uploads, presents.
#include "display/display.h"

#include <cstddef>
#include <cstring>

#include "display/error_reporter.h"

VideoMode mode_table[mode_table_capacity];
int32_t mode_count = 0;
PaletteEntry palette_entries[256];

Display display;

namespace {

bool append_mode(const VideoMode& mode, void*) {
  if (mode_count >= mode_table_capacity) return false;  // the table is full: stop listing
  mode_table[mode_count++] = mode;
  return true;
}

}  // namespace

int Display::init() {
  static DisplayErrorReporter reporter;
  error_reporter_ = &reporter;
  if (error_reporter_->check(video_open())) return 0;
  mode_count = 0;
  if (error_reporter_->check(video_enum_modes(append_mode, nullptr))) return 0;
  std::memset(palette_entries, 0, sizeof palette_entries);
  return 1;
}

int Display::find_mode(uint32_t width, uint32_t height, uint32_t bits_per_pixel) {
  for (int32_t i = 0; i < mode_count; ++i) {
    const VideoMode& mode = mode_table[i];
    if (mode.width == width && mode.height == height && mode.bits_per_pixel == bits_per_pixel) {
      width_ = mode.width;
      height_ = mode.height;
      bits_per_pixel_ = mode.bits_per_pixel;
      bytes_per_pixel_ = mode.bits_per_pixel / 8;
      red_mask_ = mode.red_mask;
      green_mask_ = mode.green_mask;
      blue_mask_ = mode.blue_mask;
      return 1;
    }
  }
  return 0;
}

int Display::create_surfaces() {
  if (error_reporter_->check(video_set_mode(width_, height_, bits_per_pixel_))) return 0;
  if (error_reporter_->check(video_create_surfaces())) return 0;
  if (bits_per_pixel_ == 8 && error_reporter_->check(video_create_palette(palette_entries))) return 0;
  return 1;
}

void Display::set_palette(const uint8_t* palette) {
  for (int i = 0; i < 256; ++i) {
    palette_entries[i].red = static_cast<uint8_t>(palette[3 * i] << 2);
    palette_entries[i].green = static_cast<uint8_t>(palette[3 * i + 1] << 2);
    palette_entries[i].blue = static_cast<uint8_t>(palette[3 * i + 2] << 2);
    palette_entries[i].flags = 0;
  }
  video_set_palette(palette_entries);
}

int Display::present(const uint8_t* source, int32_t first_row, int32_t end_row) {
  uint8_t* pixels = nullptr;
  int32_t pitch = 0;
  // A surface that cannot be locked is not written; the flip below still reports.
  if (video_lock(&pixels, &pitch) == video_code::ok && pixels) {
    const size_t row_bytes = static_cast<size_t>(width_) * bytes_per_pixel_;
    uint8_t* destination = pixels + static_cast<ptrdiff_t>(first_row) * pitch;
    for (int32_t row = first_row; row < end_row; ++row) {
      std::memcpy(destination, source, row_bytes);
      source += row_bytes;
      destination += pitch;
    }
    video_unlock();
  }
  return error_reporter_->check(video_flip());
}
