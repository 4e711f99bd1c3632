#pragma once
// The timed loop every scene's pass benchmark shares: a draw, then the update of one tick, as
// the host runs them.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "scenes/common/effect.h"

inline void time_scene_passes(benchmark::State& state, DrawRoutine draw, UpdateRoutine update,
                              uint8_t* frame) {
  for (auto _ : state) {
    draw(frame);
    tick_count = 1;
    update(1.0);
    benchmark::DoNotOptimize(frame);
  }
}
