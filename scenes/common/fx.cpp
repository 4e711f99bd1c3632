// The tables and whole-frame passes several effects share.
#include "scenes/common/fx.h"

#include <array>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

uint8_t beat_pulse = 0;

void on_beat_pulse() { beat_pulse = 1; }

namespace {
uint8_t grain_storage[grain_frame_count][frame_size];
}

uint8_t* const grain_frames[grain_frame_count] = {
    grain_storage[0], grain_storage[1], grain_storage[2], grain_storage[3],
    grain_storage[4], grain_storage[5], grain_storage[6],
};

uint32_t grain_seed = 3;

uint8_t grain_random() {
  grain_seed = grain_seed * 1107030247u + 97177u;
  return static_cast<uint8_t>((grain_seed >> 15) & 63);
}

void grain_build() {
  uint8_t* face = grain_frames[grain_face_frame];
  for (int32_t n = 0; n < face_height; ++n) {
    for (int32_t m = 0; m < face_width; ++m) {
      const uint8_t v = face_picture[n * face_width + m];
      uint8_t* p = face + 2 * n * screen_width + 2 * m;
      p[0] = v;
      p[1] = v;
      p[screen_width] = v;
      p[screen_width + 1] = v;
    }
  }
  for (int32_t f = 0; f < grain_face_frame; ++f) {
    for (int32_t i = 0; i < frame_size; ++i) grain_frames[f][i] = grain_random();
  }
}

void fx_clear(void* destination, uint32_t count) { std::memset(destination, 0, count & ~3u); }

void fx_build_decay(uint8_t table[256], int32_t amount) {
  for (int32_t v = 0; v < 256; ++v) table[v] = static_cast<uint8_t>(v > amount ? v - amount : 0);
}

void fx_decay_plain(uint8_t* frame, const uint8_t table[256]) {
  for (int32_t i = 0; i < frame_size; ++i) frame[i] = table[frame[i]];
}

namespace {

bool is_saturating_decay(const uint8_t table[256], uint8_t amount) {
  bool same = true;
  for (int32_t v = 0; v < 256; ++v) same &= table[v] == (v > amount ? v - amount : 0);
  return same;
}

}  // namespace

// A table of fx_build_decay is max(0, v - amount): a saturating subtraction, which takes
// sixteen bytes at a time instead of one lookup per byte. Any other table is looked up.
void fx_decay(uint8_t* frame, const uint8_t table[256]) {
  const uint8_t amount = static_cast<uint8_t>(255 - table[255]);
  if (!is_saturating_decay(table, amount)) return fx_decay_plain(frame, table);
#ifdef __SSE2__
  const __m128i step = _mm_set1_epi8(static_cast<char>(amount));
  for (int32_t i = 0; i < frame_size; i += 16) {
    __m128i* at = reinterpret_cast<__m128i*>(frame + i);
    _mm_storeu_si128(at, _mm_subs_epu8(_mm_loadu_si128(at), step));
  }
#else
  for (int32_t i = 0; i < frame_size; ++i) frame[i] = frame[i] > amount ? frame[i] - amount : 0;
#endif
}

void fx_build_divide(uint8_t table[smooth_divide_size]) {
  for (int32_t s = 0; s < smooth_divide_size; ++s) table[s] = static_cast<uint8_t>(s / 5);
}

void fx_smooth_plain(uint8_t* frame, const uint8_t divide[smooth_divide_size]) {
  // In place and in address order: the pixel above and the one to the left are already new.
  for (int32_t i = screen_width; i < frame_size - screen_width; ++i) {
    frame[i] = divide[frame[i] + frame[i - screen_width] + frame[i + screen_width] + frame[i - 1] + frame[i + 1]];
  }
}

namespace {

// The smoothing pixel by pixel is one long chain: each pixel waits for its new left neighbour,
// a table load per pixel. The pass below folds four divisions into one so that the chain
// steps once per four pixels. With x the new pixel before a block and s0..s3 the sums of the
// block's pixels without their left neighbours,
//   new0 = (s0 + x) / 5,  new1 = (s1 + new0) / 5 = (s0 + 5 s1 + x) / 25,  and so on:
//   new_j = (s0 + 5 s1 + ... + 5^j sj + x) / 5^(j+1),
// because (y / 5 + s) / 5 = (y + 5 s) / 25 for whole numbers rounded down. Only new3 feeds the
// next block. The divisions are multiplications by a reciprocal, exact over every sum the
// pass can form (s <= 1020, x <= 255), which the asserts below check.
constexpr uint32_t div5(uint32_t y) { return y * 52429u >> 18; }                                      // y <= 1275
constexpr uint32_t div25(uint32_t y) { return y * 5243u >> 17; }                                      // y <= 6375
constexpr uint32_t div125(uint32_t y) { return y * 67109u >> 23; }                                    // y <= 31875
constexpr uint32_t div625(uint32_t y) { return static_cast<uint32_t>(uint64_t{y} * 429497u >> 28); }  // y <= 159375

constexpr bool divides_exactly(uint32_t (*divide)(uint32_t), uint32_t by, uint32_t last) {
  for (uint32_t y = 0; y <= last; ++y)
    if (divide(y) != y / by) return false;
  return true;
}
static_assert(divides_exactly(div5, 5, 1275));
static_assert(divides_exactly(div25, 25, 6375));
static_assert(divides_exactly(div125, 125, 31875));
static_assert(divides_exactly(div625, 625, 159375));

constexpr std::array<uint8_t, smooth_divide_size> divide_by_five = [] {
  std::array<uint8_t, smooth_divide_size> table{};
  for (int32_t s = 0; s < smooth_divide_size; ++s) table[s] = static_cast<uint8_t>(s / 5);
  return table;
}();

// Each pixel's own value plus the new one above, the one below and the one to the right, read
// before the row changes.
void row_sums(const uint8_t* row, uint16_t* __restrict sums) {
  for (int32_t c = 0; c < screen_width; ++c) {
    sums[c] = static_cast<uint16_t>(row[c] + row[c - screen_width] + row[c + screen_width] + row[c + 1]);
  }
}

// Smooths one row whose left neighbour of column 0 is left; returns the row's last new pixel.
uint32_t smooth_row(uint8_t* __restrict row, const uint16_t* __restrict sums, uint32_t left) {
  for (int32_t c = 0; c < screen_width; c += 4) {
    const uint32_t s0 = sums[c];
    const uint32_t s1 = s0 + 5 * sums[c + 1];
    const uint32_t s2 = s1 + 25 * sums[c + 2];
    const uint32_t s3 = s2 + 125 * sums[c + 3];
    row[c] = static_cast<uint8_t>(div5(s0 + left));
    row[c + 1] = static_cast<uint8_t>(div25(s1 + left));
    row[c + 2] = static_cast<uint8_t>(div125(s2 + left));
    left = div625(s3 + left);
    row[c + 3] = static_cast<uint8_t>(left);
  }
  return left;
}

}  // namespace

// The same pass as fx_smooth_plain, four pixels per step of the chain; a divide table other
// than s / 5 goes through the plain pass.
void fx_smooth(uint8_t* frame, const uint8_t divide[smooth_divide_size]) {
  if (std::memcmp(divide, divide_by_five.data(), smooth_divide_size) != 0) return fx_smooth_plain(frame, divide);
  uint16_t sums[screen_width];
  uint32_t left = frame[screen_width - 1];
  for (int32_t y = 1; y < screen_height - 1; ++y) {
    uint8_t* row = frame + y * screen_width;
    row_sums(row, sums);
    left = smooth_row(row, sums, left);
  }
}

void fx_or_frame(uint8_t* frame, const uint8_t* source) {
  for (int32_t i = 0; i < frame_size; ++i) frame[i] |= source[i];
}

void fx_clear_row(uint8_t* frame, int32_t row, int32_t first_column, int32_t end_column) {
  std::memset(frame + row * screen_width + first_column, 0, static_cast<size_t>(end_column - first_column));
}
