// The show's scenes as a table: name, init, draw and update of each.
#include "host/scene_list.h"

#include "scenes/ball/ball.h"
#include "scenes/captions/captions.h"
#include "scenes/feedback/feedback.h"
#include "scenes/lattice/lattice.h"
#include "scenes/scroller/scroller.h"
#include "scenes/sphere/sphere.h"
#include "scenes/swarm/swarm.h"
#include "scenes/swirl/swirl.h"

const SceneEntry scene_list[scene_count] = {
    {"swarm", {swarm_init, nullptr}, swarm_draw, swarm_update},
    {"lattice", {lattice_init, nullptr}, lattice_draw, lattice_update},
    {"swirl", {swirl_init, nullptr}, swirl_draw, swirl_update},
    {"feedback", {feedback_init, nullptr}, feedback_draw, feedback_update},
    {"ball", {ball_init, nullptr}, ball_draw, ball_update},
    {"sphere", {sphere_init, nullptr}, sphere_draw, sphere_update},
    {"scroller", {scroller_reset, scroller_build_tables}, scroller_draw, scroller_update},
};

const SceneEntry caption_overlay = {"caption", {caption_init, nullptr}, caption_draw, nullptr};

namespace {

void run_inits(const SceneEntry& entry) {
  for (InitRoutine init : entry.init)
    if (init) init();
}

}  // namespace

void run_scene_inits() {
  for (int32_t scene = 0; scene < scroller_scene; ++scene) run_inits(scene_list[scene]);
  run_inits(caption_overlay);
  run_inits(scene_list[scroller_scene]);
}
