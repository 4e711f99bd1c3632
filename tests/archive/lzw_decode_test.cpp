// The decoder bit for bit: code order, width growth, the clear-code quirk, codes not yet
// assigned, and every way a stream can be bad.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archive/lzw.h"
#include "archive/lzw_encoder.h"

namespace {

// Builds streams code by code, widening as the decoder does: a data code after the first of a
// run assigns one entry, and the width grows when the next free code reaches 2^width - 1.
class Stream {
 public:
  Stream& first(uint32_t code) {
    writer_.put(code, width_);
    return *this;
  }
  Stream& data(uint32_t code) {
    writer_.put(code, width_);
    if (++next_ == (1 << width_) - 1) ++width_;
    return *this;
  }
  Stream& clear() {
    writer_.put(256, width_);
    width_ = 9;
    next_ = 258;
    return *this;
  }
  Stream& end() {
    writer_.put(257, width_);
    return *this;
  }
  std::vector<uint8_t> bytes() { return writer_.finish(); }
  int width() const { return width_; }

 private:
  LzwBitWriter writer_;
  int width_ = 9;
  int next_ = 258;
};

struct Decoded {
  bool ok;
  std::vector<uint8_t> bytes;  // the whole output block
};

Decoded decode(const std::vector<uint8_t>& input, size_t output_size) {
  Decoded result{false, std::vector<uint8_t>(output_size, 0)};
  result.ok = lzw_decode(input.data(), input.size(), result.bytes.data(), output_size);
  return result;
}

std::vector<uint8_t> text(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

const std::vector<uint8_t> abababa_stream = {0x41, 0x84, 0x08, 0x24, 0x18, 0x10};

TEST(LzwDecode, SixByteExampleDecodesToABABABAAndLeavesTheRestZero) {
  const Decoded out = decode(abababa_stream, 10);
  ASSERT_TRUE(out.ok);
  EXPECT_EQ(out.bytes, text(std::string("ABABABA") + std::string(3, '\0')));
  // 258 = A then B, 259 = B then A, 260 (used before it was made) = AB then A.
  EXPECT_EQ(lzw_dictionary[258].prefix, 'A');
  EXPECT_EQ(lzw_dictionary[258].last, 'B');
  EXPECT_EQ(lzw_dictionary[259].prefix, 'B');
  EXPECT_EQ(lzw_dictionary[259].last, 'A');
  EXPECT_EQ(lzw_dictionary[260].prefix, 258);
  EXPECT_EQ(lzw_dictionary[260].last, 'A');
  EXPECT_EQ(lzw_next, 261);
  EXPECT_EQ(lzw_width, 9);
  // The encoder writes exactly these bytes for that text.
  const std::vector<uint8_t> plain = text("ABABABA");
  EXPECT_EQ(lzw_encode(plain.data(), plain.size()), abababa_stream);
}

TEST(LzwDecode, ReadCodeTakesBitsLeastSignificantFirstWithoutAdvancing) {
  const std::vector<uint8_t> in = {0xA5, 0x3C, 0xF0, 0x0F, 0x81};
  lzw_reset();
  EXPECT_EQ(lzw_read_code(in.data(), in.size(), 0), 0x0A5);  // 8 bits of byte 0, bit 0 of byte 1
  EXPECT_EQ(lzw_read_code(in.data(), in.size(), 0), 0x0A5);
  EXPECT_EQ(lzw_read_code(in.data(), in.size(), 9), 0x3C >> 1 | (0xF0 & 0x3) << 7);
  EXPECT_EQ(lzw_read_code(in.data(), in.size(), 31), (0x0F >> 7) | (0x81 << 1));  // the last 9 bits
  EXPECT_EQ(lzw_read_code(in.data(), in.size(), 32), -1);                         // would need a sixth byte
  lzw_width = 17;
  EXPECT_EQ(lzw_read_code(in.data(), in.size(), 7), (0xA5 >> 7 | 0x3C << 1 | 0xF0 << 9) & 0x1FFFF);
  EXPECT_EQ(lzw_read_code(in.data(), in.size(), 23), (0xF0 >> 7 | 0x0F << 1 | 0x81 << 9) & 0x1FFFF);
  EXPECT_EQ(lzw_read_code(in.data(), in.size(), 24), -1);
  EXPECT_EQ(lzw_read_code(in.data(), 0, 0), -1);
}

TEST(LzwDecode, WriteStringWritesForwardAtThePositionAndReturnsTheFirstByte) {
  lzw_reset();
  lzw_dictionary[258] = {'x', 'y'};
  lzw_dictionary[259] = {258, 'z'};
  uint8_t out[6] = {'-', '-', '-', '-', '-', '-'};
  size_t position = 2;
  EXPECT_EQ(lzw_write_string(259, out, sizeof out, &position), 'x');
  EXPECT_EQ(position, 5u);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(out), 6), "--xyz-");
  position = 4;
  EXPECT_EQ(lzw_write_string(259, out, sizeof out, &position), -1);  // needs 3, 2 left
  EXPECT_EQ(position, 4u);
}

TEST(LzwDecode, LiteralThenEndGivesOneByte) {
  const Decoded out = decode(Stream().first('Q').end().bytes(), 3);
  ASSERT_TRUE(out.ok);
  EXPECT_EQ(out.bytes, text(std::string("Q\0\0", 3)));
}

TEST(LzwDecode, CodeAfterTheLiteralThatFollowsAClearIsDataEvenIfClearOrEnd) {
  // 257 after the literal writes entry 257's zero byte; 258 = B,0; 259 = (257),C = 0,C.
  Decoded out = decode(Stream().first('A').clear().first('B').data(257).data('C').data(259).end().bytes(), 6);
  ASSERT_TRUE(out.ok);
  EXPECT_EQ(out.bytes, text(std::string("AB\0C\0C", 6)));

  out = decode(Stream().first('A').clear().first('B').data(256).end().bytes(), 3);
  ASSERT_TRUE(out.ok);
  EXPECT_EQ(out.bytes, text(std::string("AB\0", 3)));

  // "clear, literal, end" does not end: the end code is taken as data and no end follows.
  EXPECT_FALSE(decode(Stream().first('A').clear().first('B').data(257).bytes(), 8).ok);

  // The code being defined, right after the clear: the literal's string and its first byte.
  out = decode(Stream().first('A').clear().first('B').data(258).end().bytes(), 4);
  ASSERT_TRUE(out.ok);
  EXPECT_EQ(out.bytes, text("ABBB"));
}

TEST(LzwDecode, Entry510SwitchesReadingToTenBits) {
  // Written with explicit widths: 254 codes of 9 bits (the first assigns nothing, the
  // other 253 assign 258..510), then the code after them is 10 bits wide.
  auto stream = [](int width_after) {
    LzwBitWriter w;
    for (int i = 0; i < 254; ++i) w.put('a' + i % 26, 9);
    w.put(510, width_after);
    w.put(257, width_after);
    return w.finish();
  };
  Decoded out = decode(stream(10), 256);
  ASSERT_TRUE(out.ok);
  // Entry 510 was made from codes 252 and 253: their letters.
  EXPECT_EQ(out.bytes[254], 'a' + 252 % 26);
  EXPECT_EQ(out.bytes[255], 'a' + 253 % 26);
  EXPECT_EQ(lzw_width, 10);
  EXPECT_EQ(lzw_next, 512);
  // Read at 9 bits, the same codes do not make that text.
  out = decode(stream(9), 256);
  EXPECT_FALSE(out.ok && out.bytes[254] == 'a' + 252 % 26 && out.bytes[255] == 'a' + 253 % 26);
}

TEST(LzwDecode, WidthGrowsOneCodeEarlyUpTo17BitsAndTheDictionaryEndsAt65534) {
  // Literal codes only, each assigning one entry, until entry 65534 is taken.
  Stream s;
  s.first(0);
  struct Mark {
    int assigned;
    int width;
  };
  const Mark marks[] = {{1022 - 258, 10}, {1023 - 258, 11}, {2047 - 258, 12}, {4095 - 258, 13}, {65535 - 258, 17}};
  size_t mark = 0;
  std::vector<uint8_t> partial;
  for (int assigned = 1; assigned <= 65535 - 258; ++assigned) {
    s.data(assigned & 255);
    if (mark < std::size(marks) && assigned == marks[mark].assigned) {
      Stream copy = s;
      const Decoded out = decode(copy.end().bytes(), static_cast<size_t>(assigned) + 1);
      ASSERT_TRUE(out.ok) << assigned;
      EXPECT_EQ(lzw_next, 258 + assigned);
      EXPECT_EQ(lzw_width, marks[mark].width) << "next code " << lzw_next;
      ++mark;
    }
  }
  EXPECT_EQ(mark, std::size(marks));
  // One more data code would assign entry 65535, whether known or the one being defined.
  for (uint32_t code : {7u, 65535u}) {
    Stream over = s;
    EXPECT_FALSE(decode(over.data(code).end().bytes(), 70000).ok) << code;
  }
  // A clear at 17 bits starts over.
  Stream again = s;
  const Decoded out = decode(again.clear().first('k').data('m').end().bytes(), 65535 - 258 + 3);
  ASSERT_TRUE(out.ok);
  EXPECT_EQ(out.bytes[65535 - 258 + 1], 'k');
  EXPECT_EQ(out.bytes[65535 - 258 + 2], 'm');
}

TEST(LzwDecode, RejectsFirstCodesThatAreNotSingleBytes) {
  for (uint32_t code : {256u, 257u, 258u, 300u}) {
    EXPECT_FALSE(decode(Stream().first(code).end().bytes(), 8).ok) << code;
    EXPECT_FALSE(decode(Stream().first('A').clear().first(code).data('B').end().bytes(), 8).ok) << code;
  }
}

TEST(LzwDecode, RejectsCodesMoreThanOneAhead) {
  EXPECT_TRUE(decode(Stream().first('A').data(258).end().bytes(), 3).ok);  // AAA
  EXPECT_FALSE(decode(Stream().first('A').data(259).end().bytes(), 8).ok);
  EXPECT_FALSE(decode(Stream().first('A').data('B').data(511).end().bytes(), 8).ok);
  EXPECT_FALSE(decode(Stream().first('A').clear().first('B').data(259).end().bytes(), 8).ok);
}

TEST(LzwDecode, RejectsStreamsThatEndWithoutTheEndCode) {
  EXPECT_FALSE(decode({}, 8).ok);
  EXPECT_FALSE(decode({0x41}, 8).ok);  // not even one whole code
  EXPECT_FALSE(decode(Stream().first('A').data('B').bytes(), 8).ok);
  std::vector<uint8_t> cut = abababa_stream;
  cut.pop_back();  // the end code's last bit is in the last byte
  EXPECT_FALSE(decode(cut, 8).ok);
  std::vector<uint8_t> longer = abababa_stream;
  longer.insert(longer.end(), {0xFF, 0xFF});  // bytes after the end code are not read
  EXPECT_TRUE(decode(longer, 7).ok);
}

TEST(LzwDecode, NeverWritesPastTheBlock) {
  // ABABABA needs seven bytes; the last three come from code 260, two from a string and
  // the third repeated: both places stop at the block's end.
  for (size_t size : {0u, 1u, 4u, 5u, 6u}) {
    std::vector<uint8_t> buffer(16, 0xEE);
    EXPECT_FALSE(lzw_decode(abababa_stream.data(), abababa_stream.size(), buffer.data(), size)) << size;
    for (size_t i = size; i < buffer.size(); ++i) EXPECT_EQ(buffer[i], 0xEE) << size << " " << i;
  }
  std::vector<uint8_t> buffer(7);
  EXPECT_TRUE(lzw_decode(abababa_stream.data(), abababa_stream.size(), buffer.data(), buffer.size()));
  // The literal after a clear is checked too.
  EXPECT_FALSE(decode(Stream().first('A').clear().first('B').data('C').end().bytes(), 1).ok);
}

}  // namespace
