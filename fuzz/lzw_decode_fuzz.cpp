// Any bytes as an LZW stream. The first two bytes give the output block's size (0..65535);
// the block and the stream are exact-size heap blocks, so any overrun is caught.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "archive/lzw.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const size_t output_size = data[0] | (data[1] << 8);
  uint8_t* output = static_cast<uint8_t*>(std::malloc(output_size > 0 ? output_size : 1));
  if (!output) return 0;
  std::memset(output, 0, output_size);
  lzw_decode(data + 2, size - 2, output, output_size);
  std::free(output);
  return 0;
}
