// Runs one scene on its own, without the script, the side bars, the captions or the fader:
// for regression frames, previews and benchmarks.
#pragma once
#include <cstdint>

// Loads the show data and runs every init, once per process. False when data is missing.
bool scene_harness_prepare();
// From the frame given (64000 bytes, updated in place) and as at a scene switch: passes numbered
// from 1 (scene is 0 to scene_count - 1, host/scene_list.h), each the scene's draw then its update with tick_count =
// ticks; the beat flag is set before the draw of every pass listed in beat_passes.
void scene_harness_run(int32_t scene, int32_t passes, uint32_t ticks, const int32_t* beat_passes, int32_t beat_count,
                       uint8_t* frame);
