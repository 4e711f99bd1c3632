// libopenmpt renders the module inside the wasm, in chunks the page asks for; the page schedules
// each chunk on its AudioContext's clock, ahead of time. The position reported is that of the
// frame leaving the audio graph now, looked up in the stamps made while rendering.
#include <libopenmpt/libopenmpt.h>
#include <emscripten.h>

#include <cmath>
#include <cstdio>

#include "platform/module_file.h"
#include "platform/module_stream.h"
#include "platform/music.h"
#include "platform/web/web_page.h"

namespace {

constexpr int32_t max_chunk_frames = 8192;

int16_t chunk[max_chunk_frames * 2];
openmpt_module* module = nullptr;
bool device_open = false;
bool playing = false;
char last_error[256] = "";

void set_error(const char* text) { std::snprintf(last_error, sizeof last_error, "%s", text); }

}  // namespace

bool music_init_device() {
  if (!web_audio_open()) {
    set_error("this browser gives the page no audio output");
    return false;
  }
  device_open = true;
  return true;
}

MusicHandle music_load(const char* path) {
  openmpt_module* loaded = module_file_load(path, last_error, sizeof last_error);
  if (!loaded) return 0;
  if (playing) web_audio_stop();
  playing = false;
  if (module) openmpt_module_destroy(module);
  module = loaded;
  module_stream_reset(0);
  return 1;
}

bool music_play(MusicHandle music) {
  if (!device_open || music == 0 || !module) {
    set_error("no module loaded");
    return false;
  }
  playing = true;
  web_audio_start();
  return true;
}

uint32_t music_position(MusicHandle) {
  if (!playing) return 0;
  return module_stream_position_at(static_cast<int64_t>(std::floor(web_audio_heard_frame())));
}

void music_free() {
  if (playing) web_audio_stop();
  playing = false;
  device_open = false;
  if (module) openmpt_module_destroy(module);
  module = nullptr;
}

const char* music_last_error() { return last_error; }

// The page's scheduler asks for the next chunk: `frames` stereo frames, 16-bit interleaved,
// continuing the stream; silence once the module is gone.
extern "C" EMSCRIPTEN_KEEPALIVE const int16_t* web_music_render(int32_t frames) {
  if (frames < 0) frames = 0;
  if (frames > max_chunk_frames) frames = max_chunk_frames;
  if (module && playing) {
    module_stream_render(module, chunk, frames);
  } else {
    for (int32_t i = 0; i < frames * 2; ++i) chunk[i] = 0;
  }
  return chunk;
}

// The position stamped at or before a frame of the stream, packed as the script reads it.
extern "C" EMSCRIPTEN_KEEPALIVE uint32_t web_music_position_at(double frame) {
  return module_stream_position_at(static_cast<int64_t>(std::floor(frame)));
}

int32_t music_order_count(MusicHandle music) { return music ? module_order_count(module) : 0; }

int32_t music_pattern_rows(MusicHandle music, int32_t order) {
  return music ? module_pattern_rows(module, order) : -1;
}
