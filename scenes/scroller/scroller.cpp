#include "scenes/scroller/scroller.h"

#include "scenes/common/fx.h"
#include "scenes/sphere/sphere.h"

const uint8_t* scroll_picture = nullptr;
const uint8_t* scroll_palette = nullptr;

int32_t scroll_fine = 0;
int32_t scroll_rows = 0;
int32_t scroll_offset = 0;

uint8_t scroll_upper_weights[256][16];
uint8_t scroll_lower_weights[256][16];
uint8_t scroll_blend[256][256];

namespace {
constexpr int32_t fine_step = 5;  // sixteenths of a row per tick
}

void scroller_reset() {
  scroll_fine = 0;
  scroll_rows = 0;
  scroll_offset = 0;
}

void scroller_build_tables() {
  for (int32_t i = 0; i < 256; ++i) {
    const uint8_t q = static_cast<uint8_t>(i / 16);
    uint8_t upper = static_cast<uint8_t>(i);
    uint8_t lower = 0;
    for (int32_t j = 0; j < 16; ++j) {
      scroll_upper_weights[i][j] = upper;
      scroll_lower_weights[i][j] = lower;
      upper = static_cast<uint8_t>(upper - q);
      lower = static_cast<uint8_t>(lower + q);
    }
  }
  // Repeated subtraction of i / 256: every value is a multiple of 1/256, so exact.
  for (int32_t i = 0; i < 256; ++i) {
    double x = i;
    const double step = i / 256.0;
    for (int32_t j = 0; j < 256; ++j) {
      scroll_blend[i][j] = static_cast<uint8_t>(static_cast<int32_t>(x));
      x -= step;
    }
  }
}

void scroller_blend(uint8_t* frame, const uint8_t* picture, int32_t fine) {
  const uint8_t* upper_row = picture;
  const uint8_t* lower_row = upper_row + 320;
  const uint8_t* flat_blend = &scroll_blend[0][0];
  for (int32_t p = 0; p < frame_size; ++p) {
    // The picture interpolated fine/16 of the way to the next row; its index is its own opacity.
    const uint8_t s = static_cast<uint8_t>(scroll_upper_weights[upper_row[p]][fine] +
                                           scroll_lower_weights[lower_row[p]][fine]);
    frame[p] = static_cast<uint8_t>(scroll_blend[frame[p]][s] + flat_blend[(s + 1) * 255]);
  }
}

void scroller_draw(uint8_t* frame) {
  // The first pass only asks for the palette; the frame keeps the sphere scene's last picture.
  if (fx_first_pass(scroll_palette)) return;
  fx_frame = frame;
  sphere_draw_on_black();
  scroller_blend(frame, scroll_picture + scroll_offset, scroll_fine);
}

void scroller_update(double) {
  sphere_advance();
  for (uint32_t tick = 0; tick < tick_count; ++tick) {
    scroll_fine += fine_step;
    if (scroll_fine < 16) continue;
    scroll_fine -= 16;
    ++scroll_rows;
    scroll_offset += 320;
    if (scroll_rows > scroll_last_top_row) scroll_offset -= 320;
  }
}
