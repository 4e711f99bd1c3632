// Variable-width LZW decoder of the archive's compressed entries.
//
// Codes are read least-significant bit first, starting 9 bits wide; 0..255 are bytes, 256
// clears the dictionary, 257 ends the stream, 258 is the first assigned code. The width grows
// one code early: as soon as lzw_next reaches 2^width - 1.
#pragma once
#include <cstddef>
#include <cstdint>

struct LzwEntry {
  int32_t prefix;  // code of the string minus its last byte, -1 for none
  uint8_t last;    // last byte of the string
};

constexpr int32_t lzw_dictionary_size = 65535;  // codes 0..65534
constexpr int32_t lzw_clear_code = 256;
constexpr int32_t lzw_end_code = 257;
constexpr int32_t lzw_first_free_code = 258;

// One stream is decoded at a time; the decoder's helpers share these.
extern LzwEntry lzw_dictionary[lzw_dictionary_size];
extern int32_t lzw_width;  // bits per code, 9 after a reset
extern int32_t lzw_next;   // next code to assign, 258 after a reset

// Single bytes back in codes 0..255, 256 and 257 empty, width 9, next code 258. Entries from
// 258 up keep their old contents until they are assigned again.
void lzw_reset();
// The lzw_width-bit code starting at bit_position (not advanced), or -1 when the code's bits
// run past the input.
int32_t lzw_read_code(const uint8_t* input, size_t input_size, uint64_t bit_position);
// Writes the string of code at *position and advances it; returns the string's first byte,
// or -1 when the string would run past output_size (bytes up to the limit may be written).
int32_t lzw_write_string(int32_t code, uint8_t* output, size_t output_size, size_t* position);

// Decodes one stream into output. False when the stream is malformed or would overrun either
// buffer; bytes the stream does not produce are left as they are.
bool lzw_decode(const uint8_t* input, size_t input_size, uint8_t* output, size_t output_size);
