// The show as the main loop runs it: each scene's whole pass (its draw, the side bars, the
// captions, its update by one tick), and the start-up work done before the first splash frame.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "host/data_files.h"
#include "host/scene_harness.h"
#include "host/scene_list.h"
#include "host/show_state.h"
#include "host/splash.h"
#include "scenes/captions/captions.h"
#include "scenes/common/fx.h"
#include "scenes/scroller/scroller.h"

namespace {

// The busiest caption group: "FIGHT" and "THAUMATURGE".
constexpr int32_t busiest_captions = 11;

// The archive prints its progress; benchmarks of the loading keep it out of the table.
class QuietStdout {
 public:
  QuietStdout() {
    std::fflush(stdout);
    saved_ = dup(1);
    FILE* null = std::fopen("/dev/null", "w");
    dup2(fileno(null), 1);
    std::fclose(null);
  }
  ~QuietStdout() {
    std::fflush(stdout);
    dup2(saved_, 1);
    close(saved_);
  }

 private:
  int saved_;
};

// The show's data files as the harness loaded them, put back once a benchmark has loaded and
// freed its own copies.
class KeptDataFiles {
 public:
  KeptDataFiles() {
    for (int32_t i = 0; i < data_file_count; ++i) blocks_[i] = *data_files[i].block;
    picture_ = scroll_picture;
    palette_ = scroll_palette;
  }
  ~KeptDataFiles() {
    for (int32_t i = 0; i < data_file_count; ++i) *data_files[i].block = blocks_[i];
    scroll_picture = picture_;
    scroll_palette = palette_;
  }

 private:
  uint8_t* blocks_[data_file_count];
  const uint8_t* picture_;
  const uint8_t* palette_;
};

bool prepare_show() {
  QuietStdout quiet;
  return scene_harness_prepare();
}

void BM_ShowPass(benchmark::State& state, int32_t scene) {
  if (!prepare_show()) {
    state.SkipWithError("no show data in the working directory");
    return;
  }
  const SceneEntry& row = scene_list[scene];
  std::vector<uint8_t> frame(frame_size, 0);
  const int32_t saved_group = caption_group;
  caption_group = busiest_captions;
  // The first pass of a scene asks for its palette (the scroller draws nothing then).
  scene_first_frame = 0;
  row.draw(frame.data());
  tick_count = 1;
  row.update(1.0);
  for (auto _ : state) {
    row.draw(frame.data());
    draw_side_bars(frame.data());
    caption_draw(frame.data());
    tick_count = 1;
    row.update(1.0);
    // The scroller's picture ends; start it again so every pass blends a whole screen.
    if (scene == scroller_scene && scroll_rows > scroll_last_top_row) scroller_reset();
    benchmark::DoNotOptimize(frame.data());
  }
  caption_group = saved_group;
}
const bool passes_registered = [] {
  for (int32_t scene = 0; scene < scene_count; ++scene) {
    const std::string name = "BM_ShowPass/" + std::to_string(scene) + "_" + scene_list[scene].name;
    benchmark::RegisterBenchmark(name.c_str(), BM_ShowPass, scene);
  }
  return true;
}();

void BM_SideBars(benchmark::State& state) {
  if (!prepare_show()) {
    state.SkipWithError("no show data in the working directory");
    return;
  }
  std::vector<uint8_t> frame(frame_size, 0);
  for (auto _ : state) {
    draw_side_bars(frame.data());
    benchmark::DoNotOptimize(frame.data());
  }
}
BENCHMARK(BM_SideBars);

// Everything start-up does before the first splash frame that costs time: the archive and its
// five files, then every init in the show's order. The grain seed is put back so that later
// benchmarks see the grain frames of the show.
void BM_Startup(benchmark::State& state) {
  if (!prepare_show()) {
    state.SkipWithError("no show data in the working directory");
    return;
  }
  const KeptDataFiles kept;
  QuietStdout quiet;
  for (auto _ : state) {
    const uint32_t seed = grain_seed;
    grain_seed = 3;
    if (!load_data_files()) state.SkipWithError("data files missing");
    run_scene_inits();
    grain_seed = seed;
    state.PauseTiming();
    free_data_files();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_Startup)->Unit(benchmark::kMillisecond);

void BM_StartupLoadData(benchmark::State& state) {
  const KeptDataFiles kept;
  QuietStdout quiet;
  for (auto _ : state) {
    if (!load_data_files()) state.SkipWithError("data files missing");
    state.PauseTiming();
    free_data_files();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_StartupLoadData)->Unit(benchmark::kMillisecond);

// Each init on its own (the lattice's builds the grain frames; the sphere's its shade table).
void BM_Init(benchmark::State& state, const SceneEntry* entry) {
  if (!prepare_show()) {
    state.SkipWithError("no show data in the working directory");
    return;
  }
  const uint32_t seed = grain_seed;
  for (auto _ : state) {
    grain_seed = 3;
    for (InitRoutine init : entry->init)
      if (init) init();
  }
  grain_seed = seed;
}

void register_init(const SceneEntry& entry) {
  benchmark::RegisterBenchmark((std::string("BM_Init/") + entry.name).c_str(), BM_Init, &entry)
      ->Unit(benchmark::kMillisecond);
}
// In start-up's order: the overlay's comes before the scroller's.
const bool inits_registered = [] {
  for (int32_t scene = 0; scene < scene_count; ++scene) {
    if (scene == scroller_scene) register_init(caption_overlay);
    register_init(scene_list[scene]);
  }
  return true;
}();

}  // namespace
