// The encoder that matches lzw_decode: the packer's compressor, also used by tests and
// benchmarks. Nothing in the show links it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// Packs codes least-significant bit first, without padding between them.
class LzwBitWriter {
 public:
  void put(uint32_t code, int width);
  // The bytes so far, the last one holding the final bits.
  std::vector<uint8_t> finish();

 private:
  std::vector<uint8_t> bytes_;
  uint64_t pending_ = 0;
  int pending_bits_ = 0;
};

struct LzwEncodeStats {
  uint32_t codes = 0;  // every code written, clear and end codes included
  uint32_t clears = 0;
  int max_width = 9;
};

// The stream for size bytes (size >= 1; an empty input has no stream and gives no bytes).
// Starts over with a clear code whenever the decoder's dictionary is full.
std::vector<uint8_t> lzw_encode(const uint8_t* data, size_t size, LzwEncodeStats* stats = nullptr);
