#pragma once
// Variable-width LZW decoder of the archive's compressed entries.
#include <cstddef>
#include <cstdint>

// Decodes one stream into output. False when the stream is malformed or would overrun either
// buffer; bytes the stream does not produce are left as they are.
bool lzw_decode(const uint8_t* input, size_t input_size, uint8_t* output, size_t output_size);
