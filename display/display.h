// The display: takes the screen in a palettized mode, uploads palettes and presents frames.
#pragma once
#include <cstdint>

#include "platform/video.h"

class DisplayErrorReporter;

constexpr int32_t mode_table_capacity = 1024;
extern VideoMode mode_table[mode_table_capacity];
extern int32_t mode_count;
extern PaletteEntry palette_entries[256];

// Operations answer 1 for success and 0 for failure; present answers the reporter's verdict.
class Display {
 public:
  Display() = default;
  virtual ~Display() = default;  // releases nothing: the platform reclaims it at exit

  int init();
  int find_mode(uint32_t width, uint32_t height, uint32_t bits_per_pixel);
  int create_surfaces();
  void set_palette(const uint8_t* palette);  // 768 bytes, 6-bit components
  // Copies rows first_row..end_row-1 of the tightly packed source and flips; 0 to go on.
  int present(const uint8_t* source, int32_t first_row, int32_t end_row);

 private:
  DisplayErrorReporter* error_reporter_ = nullptr;
  uint32_t bytes_per_pixel_ = 0;
  uint32_t height_ = 0;
  uint32_t bits_per_pixel_ = 0;
  uint32_t width_ = 0;
  uint32_t red_mask_ = 0;
  uint32_t green_mask_ = 0;
  uint32_t blue_mask_ = 0;
};

// The program's one display.
extern Display display;
