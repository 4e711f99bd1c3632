// Speed of the spiked ball's pass, of its depth sort and of its one-colour filler.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "bench/scene_pass.h"
#include "scenes/ball/ball.h"
#include "scenes/ball/ball_steps.h"
#include "scenes/common/fx.h"

namespace {

void BM_BallPass(benchmark::State& state) {
  static bool grain_ready = false;
  if (!grain_ready) {
    grain_build();
    grain_ready = true;
  }
  ball_init();
  ball_reset();
  bench_scene_passes(state, ball_draw, ball_update);
  ball_reset();
}
BENCHMARK(BM_BallPass);

// The ball's 952 faces with depth sums spread like the tumbling mesh's (about 600..1300), in
// sixteen different orders taken in turn, as the order changes from pass to pass.
void BM_BallRadixSort(benchmark::State& state) {
  const int32_t count = 952, sets = 16;
  std::vector<uint32_t> unsorted(count * sets);
  uint32_t seed = 1;
  for (int32_t k = 0; k < count * sets; ++k) {
    seed = seed * 1664525u + 1013904223u;
    unsorted[k] = (600 + (seed >> 8) % 700) << 16 | static_cast<uint32_t>(k % count);
  }
  bench_depth_sorts(state, unsorted, count);
}
BENCHMARK(BM_BallRadixSort);

// A face of the ball seen near the centre (about 150 pixels) and a spike's side across the
// screen, clipped at the right (about 9000 pixels).
void BM_FillFlatTriangle(benchmark::State& state) {
  std::vector<uint8_t> frame(frame_size, 0);
  const flat_triangle small{150, 95, 168, 99, 156, 112, 200};
  const flat_triangle large{40, 20, 360, 70, 120, 190, 120};
  const flat_triangle& t = state.range(0) == 0 ? small : large;
  for (auto _ : state) {
    fill_flat_triangle(t, frame.data());
    benchmark::DoNotOptimize(frame.data());
  }
}
BENCHMARK(BM_FillFlatTriangle)->Arg(0)->Arg(1);

}  // namespace
