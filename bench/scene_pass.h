#pragma once
// A scene's pass as the main loop runs it, timed: the draw, then the update with one tick.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

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
