// The show's scenes as plain data: start-up's inits, the scene harness and the tools read them
// from here.
#pragma once
#include <cstdint>

#include "scenes/common/effect.h"

struct SceneEntry {
  const char* name;
  InitRoutine init[2];  // start-up's set-ups, in order; the second may be absent
  DrawRoutine draw;
  UpdateRoutine update;  // may be absent
};

// Scenes 0 to 5 and 6, the scroller, numbered as the script numbers them.
constexpr int32_t scene_count = 7;
constexpr int32_t scroller_scene = 6;
extern const SceneEntry scene_list[scene_count];
// Drawn over every scene; its init comes between scene 5's and the scroller's.
extern const SceneEntry caption_overlay;

// Every init in the show's order: scenes 0 to 5, the caption overlay, the scroller's two.
void run_scene_inits();
