// Encoder to decoder: whatever the encoder writes, the decoder gives back exactly, through
// clears and every width up to 17 bits.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archive/lzw.h"
#include "archive/lzw_encoder.h"
#include "tests/archive/archive_test_support.h"

namespace {

using archive_test::random_bytes;

// Encodes, decodes into a block one byte larger than the data, and checks both the bytes and
// that the spare byte was not touched.
LzwEncodeStats expect_round_trip(const std::vector<uint8_t>& data) {
  LzwEncodeStats stats;
  const std::vector<uint8_t> stream = lzw_encode(data.data(), data.size(), &stats);
  std::vector<uint8_t> out(data.size() + 1, 0x5A);
  EXPECT_TRUE(lzw_decode(stream.data(), stream.size(), out.data(), data.size())) << data.size() << " bytes";
  EXPECT_EQ(out.back(), 0x5A);
  out.pop_back();
  EXPECT_TRUE(out == data) << data.size() << " bytes";
  return stats;
}

TEST(LzwRoundTrip, ShortInputsOfEveryLength) {
  for (size_t size = 1; size <= 600; ++size) expect_round_trip(random_bytes(size, static_cast<uint32_t>(size)));
  for (size_t size = 1; size <= 600; size += 7) expect_round_trip(std::vector<uint8_t>(size, 'a'));
  EXPECT_TRUE(lzw_encode(nullptr, 0).empty());
}

TEST(LzwRoundTrip, RandomBytesRunThroughClearsAtSeventeenBits) {
  const LzwEncodeStats stats = expect_round_trip(random_bytes(1 << 20, 7));
  EXPECT_GE(stats.clears, 5u);
  EXPECT_EQ(stats.max_width, 17);
}

TEST(LzwRoundTrip, RepetitiveInputs) {
  expect_round_trip(std::vector<uint8_t>(3 << 20, 0));  // strings grow long, few codes
  std::vector<uint8_t> pattern(1 << 20);
  for (size_t i = 0; i < pattern.size(); ++i) pattern[i] = static_cast<uint8_t>((i % 320) ^ (i / 320));
  const LzwEncodeStats stats = expect_round_trip(pattern);
  EXPECT_GE(stats.max_width, 12);

  std::string words;
  const char* vocabulary[] = {"lattice ", "swirl ", "sphere ", "the ", "scroller\n", "ball ", "a "};
  std::mt19937 generator(3);
  while (words.size() < (2u << 20)) words += vocabulary[generator() % std::size(vocabulary)];
  expect_round_trip(std::vector<uint8_t>(words.begin(), words.end()));
}

TEST(LzwRoundTrip, MultiMegabyteMixture) {
  std::vector<uint8_t> data;
  for (int part = 0; part < 6; ++part) {
    const std::vector<uint8_t> noise = random_bytes(300000 + part * 1000, 100 + part);
    data.insert(data.end(), noise.begin(), noise.end());
    data.insert(data.end(), 200000, static_cast<uint8_t>(part));
    for (int i = 0; i < 150000; ++i) data.push_back(static_cast<uint8_t>(i * part >> 3));
  }
  const LzwEncodeStats stats = expect_round_trip(data);
  EXPECT_GE(stats.clears, 10u);
}

// The shortest prefix of data whose stream needs a clear code.
size_t shortest_needing_a_clear(const std::vector<uint8_t>& data) {
  auto clears_for = [&](size_t length) {
    LzwEncodeStats stats;
    lzw_encode(data.data(), length, &stats);
    return stats.clears;
  };
  size_t low = 1, high = data.size();
  if (clears_for(high) == 0) return 0;
  while (low < high) {
    const size_t middle = (low + high) / 2;
    if (clears_for(middle) >= 1)
      high = middle;
    else
      low = middle + 1;
  }
  return low;
}

TEST(LzwRoundTrip, DictionaryFillingUpNearTheEndOfTheInput) {
  // Around the shortest input that needs a clear, one or two bytes are left when the
  // dictionary is full. A lone literal after a clear cannot be followed by the end code
  // (the decoder takes that code as data), so the encoder must start over a code sooner.
  std::vector<uint8_t> noise = random_bytes(400000, 11);
  std::vector<uint8_t> runs = noise;  // long strings: the last code can swallow many bytes
  for (size_t i = 0; i < runs.size(); i += 3) runs[i] = 0;
  for (const std::vector<uint8_t>* data : {&noise, &runs}) {
    const size_t boundary = shortest_needing_a_clear(*data);
    ASSERT_GT(boundary, 3u);
    for (size_t length = boundary - 3; length <= boundary + 3; ++length) {
      expect_round_trip(std::vector<uint8_t>(data->begin(), data->begin() + static_cast<long>(length)));
    }
  }
}

}  // namespace
