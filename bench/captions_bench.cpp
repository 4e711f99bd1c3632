// Speed of the caption overlay's pass (the busiest groups) and of the shared whole-frame passes.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "scenes/captions/captions.h"
#include "scenes/common/fx.h"

namespace {

void BM_CaptionPass(benchmark::State& state) {
  caption_init();
  const int32_t saved = caption_group;
  caption_group = static_cast<int32_t>(state.range(0));
  std::vector<uint8_t> frame(frame_size, 0);
  for (auto _ : state) {
    caption_draw(frame.data());
    benchmark::DoNotOptimize(frame.data());
  }
  caption_group = saved;
}
// 11: "FIGHT" and "THAUMATURGE"; 16: "WE ARE THE SLICK"; 0: nothing.
BENCHMARK(BM_CaptionPass)->Arg(0)->Arg(11)->Arg(16);

void BM_FxSmooth(benchmark::State& state) {
  static uint8_t divide[smooth_divide_size];
  fx_build_divide(divide);
  std::vector<uint8_t> frame(frame_size);
  for (int32_t i = 0; i < frame_size; ++i) frame[i] = static_cast<uint8_t>(i * 7);
  for (auto _ : state) {
    fx_smooth(frame.data(), divide);
    benchmark::DoNotOptimize(frame.data());
  }
}
BENCHMARK(BM_FxSmooth);

void BM_FxDecay(benchmark::State& state) {
  static uint8_t table[256];
  fx_build_decay(table, 14);
  std::vector<uint8_t> frame(frame_size, 200);
  for (auto _ : state) {
    fx_decay(frame.data(), table);
    benchmark::DoNotOptimize(frame.data());
  }
}
BENCHMARK(BM_FxDecay);

void BM_FxOrFrame(benchmark::State& state) {
  std::vector<uint8_t> frame(frame_size, 0), grain(frame_size, 5);
  for (auto _ : state) {
    fx_or_frame(frame.data(), grain.data());
    benchmark::DoNotOptimize(frame.data());
  }
}
BENCHMARK(BM_FxOrFrame);

}  // namespace
