// Speed of the particle logo's pass and of its blob plotter.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "bench/scene_pass.h"
#include "scenes/common/fx.h"
#include "scenes/swarm/swarm.h"

namespace {

// Draw plus the update of one tick, from the start of the scene through its flights.
void BM_SwarmPass(benchmark::State& state) {
  swarm_init();
  bench_scene_passes(state, swarm_draw, swarm_update);
  swarm_init();
}
BENCHMARK(BM_SwarmPass);

// The 222 blobs of the logo alone, every one whole.
void BM_SwarmPlotSprites(benchmark::State& state) {
  swarm_init();
  std::vector<uint8_t> frame(frame_size, 0);
  for (auto _ : state) {
    for (int32_t k = 0; k < 222; ++k) {
      swarm_plot_sprite(frame.data(), 20 + (k * 37) % 280, 20 + (k * 13) % 160);
    }
    benchmark::DoNotOptimize(frame.data());
  }
}
BENCHMARK(BM_SwarmPlotSprites);

}  // namespace
