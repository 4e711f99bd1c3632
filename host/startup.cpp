#include "host/startup.h"

#include <cstdio>
#include <cstring>

#include "archive/archive.h"
#include "display/display.h"
#include "display/error_reporter.h"
#include "display/error_texts.h"
#include "host/fader.h"
#include "host/frame_clock.h"
#include "host/main_loop.h"
#include "host/script_check.h"
#include "host/show_state.h"
#include "host/splash.h"
#include "host/window_proc.h"
#include "platform/music.h"
#include "platform/window.h"
#include "resources/resources.h"
#include "scenes/ball/ball.h"
#include "scenes/captions/captions.h"
#include "scenes/feedback/feedback.h"
#include "scenes/lattice/lattice.h"
#include "scenes/scroller/scroller.h"
#include "scenes/sphere/sphere.h"
#include "scenes/swarm/swarm.h"
#include "scenes/swirl/swirl.h"

uint32_t scene_index = 0;
uint32_t event_index = 0;
uint8_t event_hold = 0;
uint8_t quit_requested = 0;
int32_t app_active = 0;
int32_t cursor_shown = 0;
uint8_t* frame_buffer = nullptr;
MusicHandle music_handle = 0;
uint32_t active_passes = 0;

uint8_t* splash_picture = nullptr;
uint8_t* splash_palette = nullptr;
uint8_t* sidebar_picture = nullptr;

namespace {

uint8_t frame_storage[frame_size];
uint8_t* scroll_picture_block = nullptr;
uint8_t* scroll_palette_block = nullptr;

struct DataFile {
  const char* name;
  uint8_t** block;
  uint32_t min_size;
};

const DataFile data_files[] = {
    {"splash.bin", &splash_picture, frame_size},
    {"splash.pal", &splash_palette, palette_size},
    {"sidebar.bin", &sidebar_picture, 32 * screen_height},
    {"scroll.bin", &scroll_picture_block, scroll_picture_min_size},
    {"scroll.pal", &scroll_palette_block, palette_size},
};

int32_t fail_start(const char* text, const char* reason) {
  music_free();
  char line[512];
  std::snprintf(line, sizeof line, "%s: %s", text, reason);
  std::fprintf(stderr, "%s\n", line);
  // A failure the display's popup has shown already is not shown twice.
  if (!error_popup_text()) window_show_failure(window_title, line);
  return 1;
}

// The first missing or short data file, for the start-up failure's one line.
char data_problem[128];

}  // namespace

bool load_data_files() {
  data_problem[0] = '\0';
  archive_open("tarnwick.dat");
  uint32_t sizes[5] = {};
  for (int i = 0; i < 5; ++i) load_file(data_files[i].name, data_files[i].block, &sizes[i]);
  std::fflush(stdout);
  // The splash and the scenes read these whole: a missing or short file stops the show here.
  bool complete = true;
  for (int i = 0; i < 5; ++i) {
    const DataFile& file = data_files[i];
    char problem[sizeof data_problem] = "";
    if (!*file.block) {
      std::snprintf(problem, sizeof problem, "Data file %s is missing", file.name);
    } else if (sizes[i] < file.min_size) {
      std::snprintf(problem, sizeof problem, "Data file %s is too short: %u bytes, needs %u", file.name, sizes[i],
                    file.min_size);
    }
    if (problem[0]) {
      std::fprintf(stderr, "%s\n", problem);
      if (complete) std::memcpy(data_problem, problem, sizeof problem);
      complete = false;
    }
  }
  scroll_picture = scroll_picture_block;
  scroll_palette = scroll_palette_block;
  return complete;
}

void run_scene_inits() {
  swarm_init();
  lattice_init();
  swirl_init();
  feedback_init();
  ball_init();
  sphere_init();
  caption_init();
  scroller_reset();
  scroller_build_tables();
}

int32_t show_main() {
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
  if (!load_data_files()) return fail_start("Can't load the show data", data_problem);
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
