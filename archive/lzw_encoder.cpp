// The LZW encoder that lzw_decode undoes: the packer's compressor.
#include "archive/lzw_encoder.h"

#include <algorithm>

#include "archive/lzw.h"

void LzwBitWriter::put(uint32_t code, int width) {
  pending_ |= static_cast<uint64_t>(code & ((1u << width) - 1)) << pending_bits_;
  pending_bits_ += width;
  while (pending_bits_ >= 8) {
    bytes_.push_back(static_cast<uint8_t>(pending_));
    pending_ >>= 8;
    pending_bits_ -= 8;
  }
}

std::vector<uint8_t> LzwBitWriter::finish() {
  std::vector<uint8_t> out = bytes_;
  if (pending_bits_ > 0) out.push_back(static_cast<uint8_t>(pending_));
  return out;
}

namespace {

// (prefix code, next byte) -> code of the longer string, open addressing. At least four slots
// per entry it can get keeps the probes short; short inputs get a small table.
class StringTable {
 public:
  explicit StringTable(size_t input_size) {
    while (slot_count_ < (1u << 18) && slot_count_ < 4 * input_size) slot_count_ <<= 1;
    while ((1u << hash_bits_) < slot_count_) ++hash_bits_;
    keys_.resize(slot_count_);
    codes_.resize(slot_count_);
  }
  void clear() { std::fill(keys_.begin(), keys_.end(), 0u); }
  int32_t find(int32_t prefix, uint8_t byte) const {
    const uint32_t key = stored_key(prefix, byte);
    for (uint32_t slot = hash(key);; slot = (slot + 1) & (slot_count_ - 1)) {
      if (keys_[slot] == key) return codes_[slot];
      if (keys_[slot] == 0) return -1;
    }
  }
  void add(int32_t prefix, uint8_t byte, int32_t code) {
    const uint32_t key = stored_key(prefix, byte);
    uint32_t slot = hash(key);
    while (keys_[slot] != 0) slot = (slot + 1) & (slot_count_ - 1);
    keys_[slot] = key;
    codes_[slot] = code;
  }

 private:
  uint32_t slot_count_ = 1024;
  int hash_bits_ = 10;
  static uint32_t stored_key(int32_t prefix, uint8_t byte) {
    return ((static_cast<uint32_t>(prefix) << 8) | byte) + 1;  // 0 marks a free slot
  }
  uint32_t hash(uint32_t key) const { return (key * 2654435761u) >> (32 - hash_bits_); }
  std::vector<uint32_t> keys_;
  std::vector<int32_t> codes_;
};

// Follows the decoder's counters so every code goes out at the width it will be read with.
struct DecoderMirror {
  int width = 9;
  int32_t next = lzw_first_free_code;
  uint32_t codes = 0;  // data codes since the start or the last clear

  bool full() const { return codes > 0 && next >= lzw_dictionary_size; }
  bool last_slot() const { return codes > 0 && next == lzw_dictionary_size - 1; }
  void data_code() {
    if (codes++ == 0) return;  // the first code of a run assigns nothing
    ++next;
    if (next == (1 << width) - 1) ++width;
  }
};

}  // namespace

std::vector<uint8_t> lzw_encode(const uint8_t* data, size_t size, LzwEncodeStats* stats) {
  LzwEncodeStats counts;
  LzwBitWriter writer;
  if (size == 0) {
    if (stats) *stats = counts;
    return {};
  }
  auto put = [&](uint32_t code, int width) {
    writer.put(code, width);
    ++counts.codes;
    counts.max_width = std::max(counts.max_width, width);
  };

  StringTable table(size);
  DecoderMirror decoder;
  int32_t encoder_next = lzw_first_free_code;
  size_t position = 0;
  while (position < size) {
    // Longest string in the dictionary starting here.
    int32_t code = data[position];
    size_t length = 1;
    while (position + length < size) {
      const int32_t longer = table.find(code, data[position + length]);
      if (longer < 0) break;
      code = longer;
      ++length;
    }

    // A run after a clear needs two data codes: the decoder takes the code after the
    // literal as data unseen, so "clear, literal, end" would not end. When the last code
    // the dictionary can take would leave a single byte, start over one code sooner.
    const bool one_byte_would_remain = size - (position + length) == 1;
    if (decoder.full() || (decoder.last_slot() && one_byte_would_remain)) {
      put(lzw_clear_code, decoder.width);
      ++counts.clears;
      table.clear();
      decoder = DecoderMirror{};
      encoder_next = lzw_first_free_code;
      continue;
    }

    put(static_cast<uint32_t>(code), decoder.width);
    decoder.data_code();
    // The decoder makes this entry when it reads the next code.
    if (position + length < size && encoder_next < lzw_dictionary_size) {
      table.add(code, data[position + length], encoder_next++);
    }
    position += length;
  }
  put(lzw_end_code, decoder.width);
  if (stats) *stats = counts;
  return writer.finish();
}
