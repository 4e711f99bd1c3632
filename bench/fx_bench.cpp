// Speed of the whole-frame passes the scenes share: decay, grain OR, five-point smoothing and
// a frame copy, with the latency bound of the smoothing's chain beside them.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "scenes/common/fx.h"

namespace {

std::vector<uint8_t> noise_frame(uint32_t seed) {
  std::vector<uint8_t> frame(frame_size);
  for (uint8_t& v : frame) {
    seed = seed * 1664525u + 1013904223u;
    v = static_cast<uint8_t>(seed >> 24);
  }
  return frame;
}

void BM_FxSmooth(benchmark::State& state) {
  static uint8_t divide[smooth_divide_size];
  fx_build_divide(divide);
  std::vector<uint8_t> frame = noise_frame(1);
  for (auto _ : state) {
    fx_smooth(frame.data(), divide);
    benchmark::DoNotOptimize(frame.data());
  }
}
BENCHMARK(BM_FxSmooth);

// Each smoothed pixel needs its new left neighbour: one add and one table load per pixel
// that cannot overlap. This loop is that chain alone, over sums worked out beforehand; it is
// the bound any pixel-by-pixel smoothing runs into.
void BM_SmoothChainBound(benchmark::State& state) {
  static uint8_t divide[smooth_divide_size];
  fx_build_divide(divide);
  const int32_t count = frame_size - 2 * screen_width;
  std::vector<uint16_t> sums(count);
  uint32_t seed = 7;
  for (uint16_t& s : sums) {
    seed = seed * 1664525u + 1013904223u;
    s = static_cast<uint16_t>((seed >> 16) % 1021);
  }
  std::vector<uint8_t> out(count);
  for (auto _ : state) {
    uint32_t left = 0;
    for (int32_t i = 0; i < count; ++i) {
      left = divide[sums[i] + left];
      out[i] = static_cast<uint8_t>(left);
    }
    benchmark::DoNotOptimize(out.data());
  }
}
BENCHMARK(BM_SmoothChainBound);

// The chain fx_smooth actually runs: one step per block of four pixels, an add, a multiply and
// a shift (the division by 625 of its folded sums). Its latency bound.
void BM_SmoothBlockChainBound(benchmark::State& state) {
  const int32_t count = (frame_size - 2 * screen_width) / 4;
  std::vector<uint32_t> sums(count);
  uint32_t seed = 9;
  for (uint32_t& s : sums) {
    seed = seed * 1664525u + 1013904223u;
    s = (seed >> 8) % 159121;
  }
  std::vector<uint8_t> out(count);
  for (auto _ : state) {
    uint32_t left = 0;
    for (int32_t i = 0; i < count; ++i) {
      left = static_cast<uint32_t>(uint64_t{sums[i] + left} * 429497u >> 28);
      out[i] = static_cast<uint8_t>(left);
    }
    benchmark::DoNotOptimize(out.data());
  }
}
BENCHMARK(BM_SmoothBlockChainBound);

void BM_FxDecay(benchmark::State& state) {
  static uint8_t table[256];
  fx_build_decay(table, 14);
  std::vector<uint8_t> frame = noise_frame(2);
  for (auto _ : state) {
    fx_decay(frame.data(), table);
    benchmark::DoNotOptimize(frame.data());
  }
}
BENCHMARK(BM_FxDecay);

void BM_FxOrFrame(benchmark::State& state) {
  std::vector<uint8_t> frame = noise_frame(3), grain = noise_frame(4);
  for (auto _ : state) {
    fx_or_frame(frame.data(), grain.data());
    benchmark::DoNotOptimize(frame.data());
  }
}
BENCHMARK(BM_FxOrFrame);

// The sphere's background: the doubled face copied over the whole frame.
void BM_FrameCopy(benchmark::State& state) {
  std::vector<uint8_t> frame(frame_size), face = noise_frame(5);
  for (auto _ : state) {
    std::memcpy(frame.data(), face.data(), frame_size);
    benchmark::DoNotOptimize(frame.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_FrameCopy);

}  // namespace
