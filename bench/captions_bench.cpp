// Speed of the caption overlay's pass (the busiest groups).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "scenes/captions/captions.h"
#include "scenes/common/effect.h"

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

}  // namespace
