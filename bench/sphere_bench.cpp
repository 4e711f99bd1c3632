// The sphere scene's pass (draw plus one tick of update) and its triangle filler.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

#include "bench/scene_pass.h"
#include "scenes/common/fx.h"
#include "scenes/sphere/shaded_triangle.h"
#include "scenes/sphere/sphere.h"
#include "scenes/sphere/sphere_mesh.h"
#include "scenes/swirl/swirl.h"

namespace {

void prepare_sphere() {
  static bool done = false;
  if (done) return;
  done = true;
  grain_build();
  swirl_init();
  sphere_init();
}

void BM_SpherePass(benchmark::State& state) {
  prepare_sphere();
  bench_scene_passes(state, sphere_draw, sphere_update);
}
BENCHMARK(BM_SpherePass);

// A face-sized triangle as the sphere draws them, and a large one across the screen.
void BM_ShadedTriangle(benchmark::State& state) {
  prepare_sphere();
  std::vector<uint8_t> frame(64000, 0);
  const int scale = static_cast<int>(state.range(0));
  const ShadedVertex a{160 - scale, 100 - scale, 10, 0, 0};
  const ShadedVertex b{160 + scale, 100 - scale / 2, 60, 40, 20};
  const ShadedVertex c{160 - scale / 3, 100 + scale, 30, 10, 50};
  for (auto _ : state) {
    draw_shaded_triangle(frame.data(), a, b, c, texture_map, sphere_shade_table);
    benchmark::DoNotOptimize(frame.data());
  }
}
BENCHMARK(BM_ShadedTriangle)->Arg(12)->Arg(90);

// The depth keys of sixteen successive passes of the sphere, sorted in turn.
void BM_SphereRadixSort(benchmark::State& state) {
  prepare_sphere();
  const SphereMotion saved = sphere_motion;
  const uint32_t saved_ticks = tick_count;
  const int32_t count = sphere_face_count, sets = 16;
  std::vector<uint32_t> unsorted;
  for (int32_t k = 0; k < sets; ++k) {
    transform_sphere();
    build_depth_keys();
    unsorted.insert(unsorted.end(), sphere_keys, sphere_keys + count);
    tick_count = 1;
    sphere_advance();
  }
  sphere_motion = saved;
  tick_count = saved_ticks;
  bench_depth_sorts(state, unsorted, count);
}
BENCHMARK(BM_SphereRadixSort);

}  // namespace
