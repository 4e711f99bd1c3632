// Start-up as the host runs it for the sphere (and the scroller over it), once per test program,
// with a texture of the tests' own instead of the swirl's.
#pragma once
#include <cstdint>

#include "scenes/common/fx.h"
#include "scenes/sphere/sphere.h"
#include "scenes/swirl/swirl.h"

inline void start_sphere_once() {
  static bool done = false;
  if (done) return;
  done = true;
  grain_build();
  for (int i = 0; i < 65536; ++i) texture_map[i] = static_cast<uint8_t>(64 + (i * 37 >> 3) % 180);
  sphere_init();
}
