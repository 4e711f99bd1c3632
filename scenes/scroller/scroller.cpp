// The scroller: the tall picture rising in sixteenth rows, blended over the sphere.
#include "scenes/scroller/scroller.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

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

void scroller_blend_plain(uint8_t* frame, const uint8_t* picture, int32_t fine) {
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

// Four lookups a pixel become arithmetic on eight pixels at once, with the tables' values:
//   upper weight u - j (u / 16), lower weight j (l / 16), so s = u + j (l / 16 - u / 16);
//   scroll_blend[f][s] = f (256 - s) / 256, and entry (s + 1) * 255 of the flat table is
//   scroll_blend[s][255 - s] = s (s + 1) / 256. Every product fits 16 bits unsigned.
void scroller_blend(uint8_t* frame, const uint8_t* picture, int32_t fine) {
#ifdef __SSE2__
  const __m128i zero = _mm_setzero_si128();
  const __m128i low_byte = _mm_set1_epi16(255);
  const __m128i one = _mm_set1_epi16(1);
  const __m128i full = _mm_set1_epi16(256);
  const __m128i step = _mm_set1_epi16(static_cast<int16_t>(fine));
  auto blend8 = [&](__m128i f, __m128i u, __m128i l) {
    const __m128i d = _mm_sub_epi16(_mm_srli_epi16(l, 4), _mm_srli_epi16(u, 4));
    const __m128i s = _mm_and_si128(_mm_add_epi16(u, _mm_mullo_epi16(step, d)), low_byte);
    const __m128i under = _mm_srli_epi16(_mm_mullo_epi16(f, _mm_sub_epi16(full, s)), 8);
    const __m128i over = _mm_srli_epi16(_mm_mullo_epi16(s, _mm_add_epi16(s, one)), 8);
    return _mm_and_si128(_mm_add_epi16(under, over), low_byte);
  };
  for (int32_t p = 0; p < frame_size; p += 16) {
    const __m128i f = _mm_loadu_si128(reinterpret_cast<const __m128i*>(frame + p));
    const __m128i u = _mm_loadu_si128(reinterpret_cast<const __m128i*>(picture + p));
    const __m128i l = _mm_loadu_si128(reinterpret_cast<const __m128i*>(picture + p + 320));
    const __m128i low = blend8(_mm_unpacklo_epi8(f, zero), _mm_unpacklo_epi8(u, zero), _mm_unpacklo_epi8(l, zero));
    const __m128i high = blend8(_mm_unpackhi_epi8(f, zero), _mm_unpackhi_epi8(u, zero), _mm_unpackhi_epi8(l, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(frame + p), _mm_packus_epi16(low, high));
  }
#else
  scroller_blend_plain(frame, picture, fine);
#endif
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
