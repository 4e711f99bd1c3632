// The show as the main loop runs it: each scene's whole pass (its draw, the side bars, the
// captions, its update by one tick), and the start-up work done before the first splash frame.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "host/scene_harness.h"
#include "host/script.h"
#include "host/show_state.h"
#include "host/splash.h"
#include "host/startup.h"
#include "scenes/ball/ball.h"
#include "scenes/captions/captions.h"
#include "scenes/common/fx.h"
#include "scenes/feedback/feedback.h"
#include "scenes/lattice/lattice.h"
#include "scenes/scroller/scroller.h"
#include "scenes/sphere/sphere.h"
#include "scenes/swarm/swarm.h"
#include "scenes/swirl/swirl.h"

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

bool prepare_show() {
  QuietStdout quiet;
  return scene_harness_prepare();
}

void BM_ShowPass(benchmark::State& state, int32_t scene) {
  if (!prepare_show()) {
    state.SkipWithError("no show data in the working directory");
    return;
  }
  const SceneRow& row = scene_table[scene];
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
    if (scene == 6 && scroll_rows > scroll_last_top_row) scroller_reset();
    benchmark::DoNotOptimize(frame.data());
  }
  caption_group = saved_group;
}
BENCHMARK_CAPTURE(BM_ShowPass, 0_swarm, 0);
BENCHMARK_CAPTURE(BM_ShowPass, 1_lattice, 1);
BENCHMARK_CAPTURE(BM_ShowPass, 2_swirl, 2);
BENCHMARK_CAPTURE(BM_ShowPass, 3_feedback, 3);
BENCHMARK_CAPTURE(BM_ShowPass, 4_ball, 4);
BENCHMARK_CAPTURE(BM_ShowPass, 5_sphere, 5);
BENCHMARK_CAPTURE(BM_ShowPass, 6_scroller, 6);

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

void free_data_files() {
  for (uint8_t** block : {&splash_picture, &splash_palette, &sidebar_picture}) {
    std::free(*block);
    *block = nullptr;
  }
  std::free(const_cast<uint8_t*>(scroll_picture));
  std::free(const_cast<uint8_t*>(scroll_palette));
}

// Everything start-up does before the first splash frame that costs time: the archive and its
// five files, then every init in the show's order. The grain seed is put back so that later
// benchmarks see the grain frames of the show.
void BM_Startup(benchmark::State& state) {
  if (!prepare_show()) {
    state.SkipWithError("no show data in the working directory");
    return;
  }
  const uint8_t* kept_picture = scroll_picture;
  const uint8_t* kept_palette = scroll_palette;
  uint8_t* kept[3] = {splash_picture, splash_palette, sidebar_picture};
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
  splash_picture = kept[0];
  splash_palette = kept[1];
  sidebar_picture = kept[2];
  scroll_picture = kept_picture;
  scroll_palette = kept_palette;
}
BENCHMARK(BM_Startup)->Unit(benchmark::kMillisecond);

void BM_StartupLoadData(benchmark::State& state) {
  const uint8_t* kept_picture = scroll_picture;
  const uint8_t* kept_palette = scroll_palette;
  uint8_t* kept[3] = {splash_picture, splash_palette, sidebar_picture};
  QuietStdout quiet;
  for (auto _ : state) {
    if (!load_data_files()) state.SkipWithError("data files missing");
    state.PauseTiming();
    free_data_files();
    state.ResumeTiming();
  }
  splash_picture = kept[0];
  splash_palette = kept[1];
  sidebar_picture = kept[2];
  scroll_picture = kept_picture;
  scroll_palette = kept_palette;
}
BENCHMARK(BM_StartupLoadData)->Unit(benchmark::kMillisecond);

// Each init on its own (the lattice's builds the grain frames; the sphere's its shade table).
void BM_Init(benchmark::State& state, void (*init)()) {
  if (!prepare_show()) {
    state.SkipWithError("no show data in the working directory");
    return;
  }
  const uint32_t seed = grain_seed;
  for (auto _ : state) {
    grain_seed = 3;
    init();
  }
  grain_seed = seed;
}
void scroller_inits() {
  scroller_reset();
  scroller_build_tables();
}
BENCHMARK_CAPTURE(BM_Init, swarm, swarm_init)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Init, lattice, lattice_init)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Init, swirl, swirl_init)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Init, feedback, feedback_init)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Init, ball, ball_init)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Init, sphere, sphere_init)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Init, caption, caption_init)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Init, scroller, scroller_inits)->Unit(benchmark::kMillisecond);

}  // namespace
