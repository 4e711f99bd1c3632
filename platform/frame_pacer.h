// Where a flip does not wait for the vertical blank (a software renderer, a virtual X server,
// DirectDraw under Wine), the flip sleeps out the rest of the display period instead of
// spinning, and then shows the frame: like a flip that waits, it shows what was drawn one display
// period after the previous flip, which is what the music's position is reported for. Where the
// flip does wait, the sleep ends before the blank it waits for. Shared by every backend with a
// real screen.
#pragma once
#include <chrono>

struct FramePacer {
  std::chrono::steady_clock::duration period = std::chrono::microseconds(16667);
  std::chrono::steady_clock::time_point last_flip;
};

// Starts pacing now at the display's rate; 0 or less (unknown) counts as 60 Hz.
void frame_pacer_start(FramePacer& pacer, int refresh_hz, std::chrono::steady_clock::time_point now);
// The time the flip that returned at `now` should sleep until (now itself when the period is
// already over), and that time becomes the flip's.
std::chrono::steady_clock::time_point frame_pacer_next(FramePacer& pacer, std::chrono::steady_clock::time_point now);
// Sleeps out the rest of the period since the previous flip, before the frame is shown.
void frame_pacer_wait(FramePacer& pacer);
