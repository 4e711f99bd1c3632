// Speed of the line lattice's pass and of its line drawer.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "bench/scene_pass.h"
#include "scenes/common/fx.h"
#include "scenes/lattice/lattice.h"

namespace {

// Draw plus the update of one tick (the init also builds the grain frames, outside the timing).
void BM_LatticePass(benchmark::State& state) {
  lattice_init();
  bench_scene_passes(state, lattice_draw, lattice_update);
  lattice_init();
}
BENCHMARK(BM_LatticePass);

// Lines as the lattice throws them: short far ones, long near ones clipped at the edges.
void BM_DrawLineOr(benchmark::State& state) {
  std::vector<uint8_t> frame(frame_size, 0);
  const Vec2 short_lines[][2] = {{{150, 90}, {170, 97}},
                                 {{160, 100}, {158, 120}},
                                 {{100, 50}, {112, 41}},
                                 {{200, 150}, {215, 150}}};
  const Vec2 long_lines[][2] = {{{-80, 20}, {400, 170}},
                                {{30, -60}, {290, 260}},
                                {{319, 0}, {0, 199}},
                                {{-500, 300}, {900, -100}}};
  const auto& lines = state.range(0) == 0 ? short_lines : long_lines;
  for (auto _ : state) {
    for (const auto& line : lines) draw_line_or(frame.data(), line[0], line[1], 0x55);
    benchmark::DoNotOptimize(frame.data());
  }
  state.SetItemsProcessed(state.iterations() * 4);
}
BENCHMARK(BM_DrawLineOr)->Arg(0)->Arg(1);

}  // namespace
