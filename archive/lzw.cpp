// The LZW decoder of the archive's compressed entries, its codes widening as the table fills.
#include "archive/lzw.h"

#include <algorithm>

LzwEntry lzw_dictionary[lzw_dictionary_size];
int32_t lzw_width = 9;
int32_t lzw_next = lzw_first_free_code;

void lzw_reset() {
  for (int32_t c = 0; c < 256; ++c) lzw_dictionary[c] = {-1, static_cast<uint8_t>(c)};
  // The clear and end codes stand for one zero byte if a stream ever uses them as data.
  lzw_dictionary[lzw_clear_code] = {-1, 0};
  lzw_dictionary[lzw_end_code] = {-1, 0};
  lzw_width = 9;
  lzw_next = lzw_first_free_code;
}

int32_t lzw_read_code(const uint8_t* input, size_t input_size, uint64_t bit_position) {
  // A stream can reach 17 bits (after entry 65534); a window of four bytes holds any code
  // up to 25 bits at any bit offset.
  if (lzw_width < 1 || lzw_width > 25) return -1;
  const uint64_t width = static_cast<uint64_t>(lzw_width);
  if (bit_position + width > static_cast<uint64_t>(input_size) * 8) return -1;
  const size_t at = static_cast<size_t>(bit_position >> 3);
  uint32_t window = 0;
  if (at + 4 <= input_size) {
    window = input[at] | (input[at + 1] << 8) | (input[at + 2] << 16) | (static_cast<uint32_t>(input[at + 3]) << 24);
  } else {
    for (size_t i = 0; at + i < input_size; ++i) window |= static_cast<uint32_t>(input[at + i]) << (8 * i);
  }
  return static_cast<int32_t>((window >> (bit_position & 7)) & ((1u << width) - 1));
}

int32_t lzw_write_string(int32_t code, uint8_t* output, size_t output_size, size_t* position) {
  if (code < 0 || code >= lzw_dictionary_size) return -1;
  const size_t start = *position;
  size_t at = start;
  // Walk the prefix links: the string comes out last byte first, then is turned round.
  for (int32_t c = code;;) {
    if (at >= output_size) return -1;
    const LzwEntry& entry = lzw_dictionary[c];
    output[at++] = entry.last;
    if (entry.prefix < 0) break;
    c = entry.prefix;
  }
  std::reverse(output + start, output + at);
  *position = at;
  return output[start];
}

namespace {

// Reads the next code and steps past it; -1 when the input has ended.
int32_t next_code(const uint8_t* input, size_t input_size, uint64_t* bit_position) {
  const int32_t code = lzw_read_code(input, input_size, *bit_position);
  *bit_position += static_cast<uint64_t>(lzw_width);
  return code;
}

// The first code after a start or a clear must be a single byte.
bool write_literal(int32_t code, uint8_t* output, size_t output_size, size_t* position) {
  if (code < 0 || code > 255 || *position >= output_size) return false;
  output[(*position)++] = lzw_dictionary[code].last;
  return true;
}

}  // namespace

bool lzw_decode(const uint8_t* input, size_t input_size, uint8_t* output, size_t output_size) {
  lzw_reset();
  uint64_t bit_position = 0;
  size_t position = 0;

  int32_t code = next_code(input, input_size, &bit_position);
  if (!write_literal(code, output, output_size, &position)) return false;
  int32_t previous = code;

  for (;;) {
    code = next_code(input, input_size, &bit_position);
    if (code < 0) return false;  // no end code before the input ran out
    if (code == lzw_end_code) return true;
    if (code == lzw_clear_code) {
      lzw_reset();
      code = next_code(input, input_size, &bit_position);
      if (!write_literal(code, output, output_size, &position)) return false;
      previous = code;
      // The code after the literal is taken as data without looking at it: even a clear or
      // end code here stands for its (zero) byte.
      code = next_code(input, input_size, &bit_position);
      if (code < 0) return false;
    }

    int32_t first;
    if (code < lzw_next) {
      first = lzw_write_string(code, output, output_size, &position);
      if (first < 0) return false;
    } else if (code == lzw_next) {
      // The code being defined right now: the previous string plus its own first byte.
      first = lzw_write_string(previous, output, output_size, &position);
      if (first < 0 || position >= output_size) return false;
      output[position++] = static_cast<uint8_t>(first);
    } else {
      return false;
    }

    if (lzw_next >= lzw_dictionary_size) return false;  // the dictionary ends at 65534
    lzw_dictionary[lzw_next] = {previous, static_cast<uint8_t>(first)};
    previous = code;
    ++lzw_next;
    if (lzw_next == (1 << lzw_width) - 1) ++lzw_width;
  }
}
