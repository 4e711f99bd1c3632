// Any bytes through the encoder and back: the decoder must give exactly them, no more.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "archive/lzw.h"
#include "archive/lzw_encoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::vector<uint8_t> stream = lzw_encode(data, size);
  std::vector<uint8_t> output(size + 1, 0xA5);
  const bool decoded = lzw_decode(stream.data(), stream.size(), output.data(), size);
  if (!decoded || std::memcmp(output.data(), data, size) != 0 || output[size] != 0xA5) {
    std::fprintf(stderr, "round trip of %zu bytes differs\n", size);
    std::abort();
  }
  return 0;
}
