// Speed of the swirl scene's pass: decay, texture through the polar tables, smoothing.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "bench/scene_pass.h"
#include "scenes/common/effect.h"
#include "scenes/swirl/swirl.h"

namespace {

void BM_SwirlPass(benchmark::State& state) {
  swirl_init();
  bench_scene_passes(state, swirl_draw, swirl_update);
  swirl_reset();
}
BENCHMARK(BM_SwirlPass);

void BM_SwirlAddTexture(benchmark::State& state) {
  swirl_init();
  std::vector<uint8_t> frame(frame_size, 0);
  for (auto _ : state) {
    swirl_add_texture(frame.data());
    benchmark::DoNotOptimize(frame.data());
  }
}
BENCHMARK(BM_SwirlAddTexture);

}  // namespace
