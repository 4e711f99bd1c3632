// The flip's pacing where the display does not wait for the vertical blank.
#include "platform/frame_pacer.h"

#include <thread>

using clock_type = std::chrono::steady_clock;

void frame_pacer_start(FramePacer& pacer, int refresh_hz, clock_type::time_point now) {
  const int hz = refresh_hz > 0 ? refresh_hz : 60;
  pacer.period = std::chrono::duration_cast<clock_type::duration>(std::chrono::seconds(1)) / hz;
  pacer.last_flip = now;
}

clock_type::time_point frame_pacer_next(FramePacer& pacer, clock_type::time_point now) {
  const clock_type::time_point target = pacer.last_flip + pacer.period;
  // Less than half a millisecond left is not worth a sleep that may overshoot.
  pacer.last_flip = now + std::chrono::microseconds(500) < target ? target : now;
  return pacer.last_flip;
}

void frame_pacer_wait(FramePacer& pacer) {
  const clock_type::time_point now = clock_type::now();
  const clock_type::time_point until = frame_pacer_next(pacer, now);
  if (until > now) std::this_thread::sleep_until(until);
}
