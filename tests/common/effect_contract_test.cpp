// What every scene's pass owes the host, scene by scene as the show lists them.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "host/scene_list.h"
#include "scenes/ball/ball.h"
#include "scenes/common/fx.h"
#include "scenes/lattice/lattice.h"
#include "scenes/sphere/sphere.h"
#include "scenes/swarm/swarm.h"
#include "scenes/swirl/swirl.h"

namespace {

// Scenes 0 to 5 (the scroller's first pass does nothing but ask for its palette: its own test).
const struct {
  const uint8_t* palette;  // the fade the first pass asks for; none for the feedback scene
  int32_t darkening;       // subtracted from the previous picture before anything is drawn
} scenes[] = {
    {swarm_palette, 4}, {lattice_palette, 56}, {swirl_palette, 14},
    {nullptr, 0},       {ball_palette, 56},    {sphere_palette, 0},
};

// The first pass keeps the frame in fx_frame and asks for the scene's palette; the passes after it
// ask for nothing. A scene that darkens the previous picture does so first: from uniform pictures
// of 0 and of its amount it draws the same frame, from one more another.
TEST(EffectContract, FirstPassFadesToThePaletteAndThePictureDarkensFirst) {
  run_scene_inits();
  beat_pulse = 0;
  for (int32_t s = 0; s < 6; ++s) {
    const DrawRoutine draw = scene_list[s].draw;
    SCOPED_TRACE(scene_list[s].name);
    std::vector<uint8_t> frame(frame_size, 0);
    scene_first_frame = 0;
    fade_pending = 0;
    fade_target = nullptr;
    draw(frame.data());
    EXPECT_EQ(fx_frame, frame.data());
    EXPECT_EQ(scene_first_frame, 1);
    EXPECT_EQ(fade_pending, scenes[s].palette ? 1 : 0);
    EXPECT_EQ(fade_target, scenes[s].palette);
    fade_pending = 0;
    draw(frame.data());
    EXPECT_EQ(fade_pending, 0) << "only the first pass asks";

    if (scenes[s].darkening == 0) continue;
    std::vector<uint8_t> from[3];
    const int32_t starts[3] = {0, scenes[s].darkening, scenes[s].darkening + 1};
    for (int i = 0; i < 3; ++i) {
      from[i].assign(frame_size, static_cast<uint8_t>(starts[i]));
      draw(from[i].data());
    }
    EXPECT_TRUE(from[0] == from[1]) << "values up to the amount go to black";
    EXPECT_FALSE(from[0] == from[2]) << "one more stays lit";
  }
}

}  // namespace
