// Each faster routine against the plain one it replaced, on random inputs: not one byte may
// differ.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "scenes/common/depth_sort.h"
#include "scenes/common/fx.h"
#include "scenes/scroller/scroller.h"
#include "scenes/swirl/swirl.h"

namespace {

// Frames of several kinds: uniform noise, bright noise near the top of the range, sparse
// bright dots on black, and smooth ramps.
std::vector<uint8_t> random_frame(std::mt19937& generator, int kind) {
  std::vector<uint8_t> frame(frame_size);
  std::uniform_int_distribution<int> byte(0, 255);
  for (int32_t i = 0; i < frame_size; ++i) {
    switch (kind % 4) {
      case 0: frame[i] = static_cast<uint8_t>(byte(generator)); break;
      case 1: frame[i] = static_cast<uint8_t>(255 - byte(generator) % 8); break;
      case 2: frame[i] = byte(generator) < 8 ? 255 : 0; break;
      default: frame[i] = static_cast<uint8_t>((i % screen_width + i / screen_width * 3) & 255); break;
    }
  }
  return frame;
}

TEST(Equivalence, SmoothingMatchesThePlainPass) {
  std::mt19937 generator(1);
  uint8_t divide[smooth_divide_size];
  fx_build_divide(divide);
  for (int trial = 0; trial < 40; ++trial) {
    std::vector<uint8_t> fast = random_frame(generator, trial);
    std::vector<uint8_t> plain = fast;
    fx_smooth(fast.data(), divide);
    fx_smooth_plain(plain.data(), divide);
    ASSERT_EQ(fast, plain) << "trial " << trial;
    // Smoothing the result again starts from a smoothed picture: long runs of equal sums.
    fx_smooth(fast.data(), divide);
    fx_smooth_plain(plain.data(), divide);
    ASSERT_EQ(fast, plain) << "trial " << trial << ", second pass";
  }
}

TEST(Equivalence, SmoothingWithAnotherTableTakesThePlainPass) {
  std::mt19937 generator(2);
  uint8_t divide[smooth_divide_size];
  for (int32_t s = 0; s < smooth_divide_size; ++s) divide[s] = static_cast<uint8_t>(s / 4 > 255 ? 255 : s / 4);
  std::vector<uint8_t> fast = random_frame(generator, 0);
  std::vector<uint8_t> plain = fast;
  fx_smooth(fast.data(), divide);
  fx_smooth_plain(plain.data(), divide);
  EXPECT_EQ(fast, plain);
}

TEST(Equivalence, DecayMatchesTheTableForEveryAmount) {
  std::mt19937 generator(3);
  uint8_t table[256];
  for (int32_t amount = -3; amount <= 260; ++amount) {
    fx_build_decay(table, amount);
    std::vector<uint8_t> fast = random_frame(generator, amount & 3);
    std::vector<uint8_t> plain = fast;
    fx_decay(fast.data(), table);
    fx_decay_plain(plain.data(), table);
    ASSERT_EQ(fast, plain) << "amount " << amount;
  }
}

TEST(Equivalence, DecayWithAnyOtherTableLooksItUp) {
  std::mt19937 generator(4);
  uint8_t table[256];
  fx_build_decay(table, 20);
  table[100] = 7;  // one entry off a subtraction
  std::vector<uint8_t> fast = random_frame(generator, 0);
  std::vector<uint8_t> plain = fast;
  fx_decay(fast.data(), table);
  fx_decay_plain(plain.data(), table);
  EXPECT_EQ(fast, plain);
  for (int32_t v = 0; v < 256; ++v) table[v] = static_cast<uint8_t>(255 - v);  // a reversal
  fx_decay(fast.data(), table);
  fx_decay_plain(plain.data(), table);
  EXPECT_EQ(fast, plain);
}

TEST(Equivalence, DepthSortMatchesTheOneBitPasses) {
  std::mt19937 generator(5);
  for (int32_t count : {0, 1, 2, 3, 17, 255, 256, 952, 1300}) {
    for (uint32_t depth_mask : {0xFFFFu, 0x00FFu, 0xFF00u, 0x0003u, 0x8001u}) {
      std::vector<uint32_t> fast(count), spare(count);
      for (uint32_t& key : fast) key = (generator() & depth_mask) << 16 | (generator() & 0xFFFF);
      std::vector<uint32_t> plain = fast, plain_spare(count);
      depth_sort(fast.data(), spare.data(), count);
      depth_sort_plain(plain.data(), plain_spare.data(), count);
      ASSERT_EQ(fast, plain) << count << " keys, mask " << std::hex << depth_mask;
    }
  }
}

TEST(Equivalence, ScrollerBlendMatchesTheTables) {
  scroller_build_tables();
  std::mt19937 generator(6);
  std::vector<uint8_t> picture(320 * 201);
  for (int32_t fine = 0; fine < 16; ++fine) {
    for (int kind = 0; kind < 4; ++kind) {
      for (uint8_t& v : picture) v = static_cast<uint8_t>(generator());
      if (kind == 1) {
        for (uint8_t& v : picture) v = static_cast<uint8_t>(v | 0xF0);  // the highest weights
      }
      std::vector<uint8_t> fast = random_frame(generator, kind);
      std::vector<uint8_t> plain = fast;
      scroller_blend(fast.data(), picture.data(), fine);
      scroller_blend_plain(plain.data(), picture.data(), fine);
      ASSERT_EQ(fast, plain) << "fine " << fine << ", kind " << kind;
    }
  }
  // Every frame index against every picture pair at every step, once.
  std::vector<uint8_t> frame(frame_size);
  for (int32_t i = 0; i < frame_size; ++i) {
    frame[i] = static_cast<uint8_t>(i);
    picture[i] = static_cast<uint8_t>(i >> 8);
  }
  for (int32_t i = frame_size; i < 320 * 201; ++i) picture[i] = static_cast<uint8_t>(i * 7);
  for (int32_t fine = 0; fine < 16; ++fine) {
    std::vector<uint8_t> fast = frame, plain = frame;
    scroller_blend(fast.data(), picture.data(), fine);
    scroller_blend_plain(plain.data(), picture.data(), fine);
    ASSERT_EQ(fast, plain) << "fine " << fine;
  }
}

TEST(Equivalence, SwirlTextureMatchesAtEveryPhase) {
  swirl_init();
  std::mt19937 generator(7);
  std::vector<uint8_t> start = random_frame(generator, 1);  // near 255: the saturation matters
  // 1024 ticks of 3 steps bring the phase through every value and back to where it was.
  for (int32_t tick = 0; tick < 1024; ++tick) {
    std::vector<uint8_t> fast = tick % 2 ? random_frame(generator, 0) : start;
    std::vector<uint8_t> plain = fast;
    swirl_add_texture(fast.data());
    swirl_add_texture_plain(plain.data());
    ASSERT_EQ(fast, plain) << "phase " << swirl_probe().phase;
    tick_count = 1;
    swirl_update(1.0);
  }
}

}  // namespace
