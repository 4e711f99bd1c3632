// The scroller's pass: the sphere on black, the four-table blend, and one tick of update.
#include <benchmark/benchmark.h>

#include <vector>

#include "bench/scene_pass.h"
#include "scenes/common/fx.h"
#include "scenes/scroller/scroller.h"
#include "scenes/sphere/sphere.h"
#include "scenes/swirl/swirl.h"

namespace {

void BM_ScrollerPass(benchmark::State& state) {
  static std::vector<uint8_t> picture(scroll_picture_min_size);
  for (size_t i = 0; i < picture.size(); ++i) picture[i] = static_cast<uint8_t>((i * 7 / 320) & 255);
  grain_build();
  swirl_init();
  sphere_init();
  scroller_reset();
  scroller_build_tables();
  scroll_picture = picture.data();
  // Back to the top before the picture's end, where the scroll would stand still.
  bench_scene_passes(state, scroller_draw, [](double ticks) {
    scroller_update(ticks);
    if (scroll_rows > 1500) scroller_reset();
  });
}
BENCHMARK(BM_ScrollerPass);

// The picture's blend over a frame holding the sphere on black, at a sixteenth step between rows.
void BM_ScrollerBlend(benchmark::State& state) {
  static std::vector<uint8_t> picture(scroll_picture_min_size);
  for (size_t i = 0; i < picture.size(); ++i) picture[i] = static_cast<uint8_t>((i * 7 / 320 + i / 3) & 255);
  scroller_build_tables();
  std::vector<uint8_t> frame(64000);
  for (size_t i = 0; i < frame.size(); ++i) frame[i] = static_cast<uint8_t>(i % 320 < 160 ? 0 : i * 13);
  for (auto _ : state) {
    scroller_blend(frame.data(), picture.data() + 320 * 100, 5);
    benchmark::DoNotOptimize(frame.data());
  }
}
BENCHMARK(BM_ScrollerBlend);

}  // namespace
