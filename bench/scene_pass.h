// The timed loops the scene benchmarks share: a pass as the main loop runs it (the draw, then the
// update with one tick), and the depth sort over keys that change from pass to pass.
#pragma once
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "scenes/common/depth_sort.h"
#include "scenes/common/effect.h"

// From the picture given (black unless told), after the scene's own set-up; past its first pass.
inline void bench_scene_passes(benchmark::State& state, DrawRoutine draw, UpdateRoutine update,
                               std::vector<uint8_t> frame = std::vector<uint8_t>(frame_size, 0)) {
  scene_first_frame = 1;
  for (auto _ : state) {
    draw(frame.data());
    tick_count = 1;
    update(1.0);
    benchmark::DoNotOptimize(frame.data());
  }
}

// Sorts each set of count keys in turn, as the order changes from pass to pass.
inline void bench_depth_sorts(benchmark::State& state, const std::vector<uint32_t>& sets, int32_t count) {
  std::vector<uint32_t> keys(count), spare(count);
  size_t next = 0;
  for (auto _ : state) {
    std::copy_n(sets.begin() + static_cast<ptrdiff_t>(next), count, keys.begin());
    next = (next + count) % sets.size();
    depth_sort(keys.data(), spare.data(), count);
    benchmark::DoNotOptimize(keys.data());
  }
}
