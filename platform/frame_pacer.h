#pragma once
// Where a flip does not wait for the vertical blank (a software renderer, a virtual X server,
// DirectDraw under Wine), the flip sleeps out the rest of the display period instead of
// spinning. Shared by every backend with a real screen.
#include <chrono>

struct FramePacer {
  std::chrono::steady_clock::duration period = std::chrono::microseconds(16667);
  std::chrono::steady_clock::time_point last_flip;
};

// Starts pacing now at the display's rate; 0 or less (unknown) counts as 60 Hz.
void frame_pacer_start(FramePacer& pacer, int refresh_hz, std::chrono::steady_clock::time_point now);
// The time the flip that returned at `now` should sleep until (now itself when the period is
// already over), and that time becomes the flip's.
std::chrono::steady_clock::time_point frame_pacer_next(FramePacer& pacer,
                                                       std::chrono::steady_clock::time_point now);
// Sleeps out the rest of the period after a flip that has just returned.
void frame_pacer_wait(FramePacer& pacer);
