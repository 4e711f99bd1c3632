// One scene run on its own, for frame tests, previews and benchmarks.
#include "host/scene_harness.h"

#include "host/data_files.h"
#include "host/scene_list.h"
#include "scenes/common/fx.h"

bool scene_harness_prepare() {
  static bool prepared = false;
  static bool complete = false;
  if (!prepared) {
    prepared = true;
    complete = load_data_files();
    if (complete) run_scene_inits();
  }
  return complete;
}

void scene_harness_run(int32_t scene, int32_t passes, uint32_t ticks, const int32_t* beat_passes, int32_t beat_count,
                       uint8_t* frame) {
  const SceneEntry& row = scene_list[scene];
  scene_first_frame = 0;
  tick_count = 0;
  for (int32_t pass = 1; pass <= passes; ++pass) {
    for (int32_t b = 0; b < beat_count; ++b)
      if (beat_passes[b] == pass) beat_pulse = 1;
    if (row.draw) row.draw(frame);
    tick_count = ticks;
    if (row.update) row.update(static_cast<double>(ticks));
  }
}
