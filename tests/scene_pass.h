#pragma once
// A scene run in-process as the main loop runs it, and the checks every scene's pass shares.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "scenes/common/effect.h"

namespace test_support {

// One main-loop pass: the scene's draw, then its update with this pass's whole ticks.
inline void run_pass(DrawRoutine draw, UpdateRoutine update, uint8_t* frame, uint32_t ticks) {
  draw(frame);
  tick_count = ticks;
  update(ticks);
}

// The first pass of a scene (scene_first_frame 0) keeps the frame in fx_frame and asks for a fade
// to palette (for no palette: no fade); the passes after it ask for nothing.
inline void expect_first_pass_fades_to(DrawRoutine draw, uint8_t* frame, const uint8_t* palette) {
  scene_first_frame = 0;
  fade_pending = 0;
  fade_target = nullptr;
  draw(frame);
  EXPECT_EQ(fx_frame, frame);
  EXPECT_EQ(scene_first_frame, 1);
  EXPECT_EQ(fade_pending, palette ? 1 : 0);
  EXPECT_EQ(fade_target, palette);
  fade_pending = 0;
  draw(frame);
  EXPECT_EQ(fade_pending, 0) << "only the first pass asks";
}

// A pass darkens the previous picture by amount before anything else: from uniform pictures of 0
// and of amount it draws the same frame, from amount + 1 another. The draw must not move the
// scene on (no beat pending).
inline void expect_pass_darkens_by(DrawRoutine draw, uint8_t amount) {
  scene_first_frame = 1;
  std::vector<uint8_t> frames[3];
  const uint8_t starts[3] = {0, amount, static_cast<uint8_t>(amount + 1)};
  for (int i = 0; i < 3; ++i) {
    frames[i].assign(frame_size, starts[i]);
    draw(frames[i].data());
  }
  EXPECT_TRUE(frames[0] == frames[1]) << "values up to " << int(amount) << " go to black";
  EXPECT_FALSE(frames[0] == frames[2]) << int(amount) + 1 << " stays lit";
}

}  // namespace test_support
