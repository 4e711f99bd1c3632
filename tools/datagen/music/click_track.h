#pragma once
// A plain timing module: one click on every row where the show acts, nothing else. Useful to
// check the show's sync by ear.
#include "tools/datagen/music/it_writer.h"

namespace music {

// Speed and tempo shared by every version of the show's music: 6 ticks of 2.5/150 s make
// 100 ms rows, so (0,0) to (43,32) lasts 278.4 s.
constexpr int kSpeed = 6;
constexpr int kTempo = 150;
constexpr int kOrders = 44;

itw::Module make_click_track();

}  // namespace music
