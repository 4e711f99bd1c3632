// A scene run in-process as the main loop runs it, for the scenes' tests.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>

#include "scenes/common/effect.h"
#include "scenes/common/fx.h"

namespace test_support {

// One main-loop pass: the scene's draw, then its update with this pass's whole ticks.
inline void run_pass(DrawRoutine draw, UpdateRoutine update, uint8_t* frame, uint32_t ticks) {
  draw(frame);
  tick_count = ticks;
  update(ticks);
}

// After a beat's pass has set grain frame 6 (the face), the frame stays for the rest of four ticks
// and noise frame 0 follows.
inline void expect_face_for_four_ticks(UpdateRoutine update, int32_t (*grain_index)()) {
  EXPECT_EQ(grain_index(), grain_face_frame);
  for (int tick = 1; tick <= 4; ++tick) {
    tick_count = 1;
    update(1.0);
    EXPECT_EQ(grain_index(), tick < 4 ? grain_face_frame : 0) << "tick " << tick;
  }
}

}  // namespace test_support
