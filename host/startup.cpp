// Start-up in its fixed order: sound device, clock, window, display, data, splash, module, main loop.
#include "host/startup.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <new>

#include "display/display.h"
#include "display/error_reporter.h"
#include "display/error_texts.h"
#include "host/data_files.h"
#include "host/fader.h"
#include "host/frame_clock.h"
#include "host/main_loop.h"
#include "host/scene_list.h"
#include "host/script_check.h"
#include "host/show_state.h"
#include "host/splash.h"
#include "host/window_proc.h"
#include "platform/music.h"
#include "platform/window.h"
#include "resources/resources.h"

namespace {

uint8_t frame_storage[frame_size];

int32_t fail_start(const char* text, const char* reason) {
  music_free();
  char line[512];
  std::snprintf(line, sizeof line, "%s: %s", text, reason);
  std::fprintf(stderr, "%s\n", line);
  // A failure the display's popup has shown already is not shown twice.
  if (!error_popup_text()) window_show_failure(window_title, line);
  return 1;
}

// The terminate handler: std::bad_alloc that nothing caught; anything else aborts as before.
[[noreturn]] void end_on_allocation_failure() {
  if (const std::exception_ptr failure = std::current_exception()) {
    try {
      std::rethrow_exception(failure);
    } catch (const std::bad_alloc&) {
      // Any thread may be here, so no popup and no clean-up: the line, then out.
      std::fflush(stdout);
      std::fputs("Out of memory\n", stderr);
      std::_Exit(1);
    } catch (...) {
    }
  }
  std::abort();
}

}  // namespace

void exit_on_uncaught_allocation_failure() { std::set_terminate(end_on_allocation_failure); }

int32_t show_main() {
  exit_on_uncaught_allocation_failure();
  if (!music_init_device()) return fail_start("Can't initialize device", music_last_error());
  if (!frame_clock_init()) return fail_start("No performance counter", "the clock cannot be measured");

  quit_requested = 0;
  event_index = 0;
  scene_index = 0;
  scene_first_frame = 0;
  fade_step = 0;
  tick_accum = 0.0;

  if (!create_main_window()) {
    // Without a window there is no display: the same popup as any display failure.
    show_error_popup(display_error_text(video_code::no_device), window_last_error());
    return fail_start("Can't create the window", window_last_error());
  }
  if (!display.init()) return fail_start("Can't open the display", video_last_error());
  if (!display.find_mode(screen_width, screen_height, 8))
    return fail_start("Can't open the display", "no 320x200 mode with 256 colours");
  if (!display.create_surfaces()) return fail_start("Can't open the display", video_last_error());

  // A double-clicked program shows only this line: it names the first problem.
  if (!load_data_files()) return fail_start("Can't load the show data", data_files_problem());
  run_scene_inits();
  window_show_cursor(false);

  frame_buffer = frame_storage;
  std::memset(frame_buffer, 0, frame_size);
  std::memset(black_palette, 0, sizeof black_palette);
  if (!run_splash_sequence()) return fail_start("Can't show the display", video_last_error());

  music_handle = music_load("tarnwick.it");
  if (music_handle == 0) return fail_start("Can't play the file", music_last_error());
  char missing[256];
  if (!check_script_positions(music_handle, "tarnwick.it", missing, sizeof missing))
    std::fprintf(stderr, "%s\n", missing);  // the show plays on; Escape still ends it
  if (!music_play(music_handle)) return fail_start("Can't play the file", music_last_error());

  frame_clock_start();
  fade_pending = 0;
  return run_main_loop();
}
