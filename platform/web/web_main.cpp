// The page's program: the show as on the desktop, then the page's end state. The page calls
// main once, after its Play button; the show's own loops give the browser its turns inside
// the flip and the inactive wait.
#include <cstdio>

#include "host/fader.h"
#include "host/script.h"
#include "host/show_state.h"
#include "host/startup.h"
#include "platform/web/web_page.h"
#include "platform/web/web_video_state.h"

#include <emscripten.h>

namespace {

// The script's actions as tarnwick-render logs them, for the page's log.
void log_action(const ScriptAction& a) {
  char line[96];
  format_script_action(a, active_passes, line, sizeof line);
  web_page_script_line(line);
}

}  // namespace

int main() {
  script_observer = log_action;
  const int32_t exit_code = show_main();
  std::fflush(stdout);
  std::fflush(stderr);
  web_page_show_ended(exit_code);
  return exit_code;
}

// What the page's tests read back: the frame and palette of the latest flip, the core's last
// blended palette (6-bit components), and the position the core would read now.
extern "C" EMSCRIPTEN_KEEPALIVE const uint8_t* web_shown_pixels() { return web_shown_frame().pixels; }
extern "C" EMSCRIPTEN_KEEPALIVE const PaletteEntry* web_shown_palette() { return web_shown_frame().palette; }
extern "C" EMSCRIPTEN_KEEPALIVE uint32_t web_shown_flips() { return web_shown_frame().flips; }
extern "C" EMSCRIPTEN_KEEPALIVE const uint8_t* web_fade_output() { return fade_output; }
extern "C" EMSCRIPTEN_KEEPALIVE uint32_t web_music_position() { return music_position(music_handle); }
extern "C" EMSCRIPTEN_KEEPALIVE uint32_t web_active_passes() { return active_passes; }
