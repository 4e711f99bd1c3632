// The main loop: a pass of the scene, the side bars and the captions, until the end screen or quit.
#include "host/main_loop.h"

#include "archive/archive.h"
#include "display/display.h"
#include "host/fader.h"
#include "host/frame_clock.h"
#include "host/script.h"
#include "host/show_state.h"
#include "host/splash.h"
#include "host/window_proc.h"
#include "platform/music.h"
#include "scenes/captions/captions.h"

namespace {

// While inactive the loop still wakes this often to look after the music's output, so that a lost
// device, its retry and a new default output are followed while the viewer is elsewhere.
constexpr int32_t inactive_wait_ms = 250;

// A display that failed once fails again on every pass (lost surfaces are not restored), so
// after its popup the show ends as on Escape, with exit code 1.
bool display_failed = false;

int32_t leave_loop(int32_t exit_code) {
  archive_close();
  music_free();
  return display_failed ? 1 : exit_code;
}

void run_active_pass() {
  ++active_passes;
  if (fade_pending) fade_step_once();
  if (display.present(frame_buffer, 0, screen_height)) {  // what the previous pass drew
    display_failed = true;
    window_destroy();
    return;
  }
  sync_to_music(music_handle);
  const SceneRow& scene = scene_table[scene_index];
  if (scene.draw) scene.draw(frame_buffer);
  draw_side_bars(frame_buffer);
  caption_draw(frame_buffer);
  frame_clock_measure();
  if (scene.update) scene.update(tick_accum);
}

}  // namespace

int32_t run_main_loop() {
  for (;;) {
    if (quit_requested) return leave_loop(0);
    if (window_message_waiting()) {
      WindowMessage message;
      int32_t exit_code = 0;
      if (!window_take_message(&message, &exit_code)) return leave_loop(exit_code);
      main_window_proc(message);
      continue;
    }
    if (!app_active) {
      window_wait_message_for(inactive_wait_ms);
      music_look_after(music_handle);
      continue;
    }
    run_active_pass();
  }
}
