// The real module, rendered by libopenmpt exactly as far as virtual time has gone.
#include <libopenmpt/libopenmpt.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/headless/headless.h"
#include "platform/headless/headless_internal.h"
#include "platform/module_file.h"
#include "platform/music.h"

namespace {

constexpr int32_t sample_rate = 44100;
constexpr size_t chunk_frames = 1024;

openmpt_module* module = nullptr;
bool device_open = false;
bool fail_device = false;
bool playing = false;
uint64_t start_ns = 0;
uint64_t frames_rendered = 0;
HeadlessAudioSink audio_sink = nullptr;
void* audio_context = nullptr;
int16_t chunk[chunk_frames * 2];
char last_error[256] = "";
bool position_forced = false;
uint32_t forced_position = 0;

void set_error(const char* text) { std::snprintf(last_error, sizeof last_error, "%s", text); }

}  // namespace

bool music_init_device() {
  if (fail_device) {
    set_error("no audio device");
    return false;
  }
  device_open = true;
  return true;
}

MusicHandle music_load(const char* path) {
  openmpt_module* loaded = module_file_load(path, last_error, sizeof last_error);
  if (!loaded) return 0;
  if (module) openmpt_module_destroy(module);
  module = loaded;
  return 1;
}

bool music_play(MusicHandle music) {
  if (!device_open || music == 0 || !module) {
    set_error("no module loaded");
    return false;
  }
  playing = true;
  start_ns = headless_time_ns();
  frames_rendered = 0;
  return true;
}

uint32_t music_position(MusicHandle) {
  if (position_forced) return forced_position;
  if (!playing) return 0;
  const uint32_t order = static_cast<uint32_t>(openmpt_module_get_current_order(module));
  const uint32_t row = static_cast<uint32_t>(openmpt_module_get_current_row(module));
  return (order & 0xFFFF) | (row << 16);
}

int32_t music_order_count(MusicHandle music) { return music ? module_order_count(module) : 0; }

int32_t music_pattern_rows(MusicHandle music, int32_t order) {
  return music ? module_pattern_rows(module, order) : -1;
}

void music_free() {
  if (module) openmpt_module_destroy(module);
  module = nullptr;
  playing = false;
  device_open = false;
}

const char* music_last_error() { return last_error; }

void headless_render_music_until(uint64_t time_ns) {
  if (!playing || time_ns < start_ns) return;
  const uint64_t target = (time_ns - start_ns) * sample_rate / 1000000000ull;
  while (frames_rendered < target) {
    const size_t count = static_cast<size_t>(std::min<uint64_t>(chunk_frames, target - frames_rendered));
    const size_t got = openmpt_module_read_interleaved_stereo(module, sample_rate, count, chunk);
    if (got < count) {  // the module cannot play on; keep time as silence
      std::memset(chunk + got * 2, 0, (count - got) * 2 * sizeof(int16_t));
    }
    if (audio_sink) audio_sink(chunk, count, audio_context);
    frames_rendered += count;
  }
}

void headless_set_audio_sink(HeadlessAudioSink sink, void* context) {
  audio_sink = sink;
  audio_context = context;
}

bool headless_music_started() { return playing; }
uint64_t headless_music_start_ns() { return start_ns; }
void headless_fail_music_device(bool fail) { fail_device = fail; }

void headless_force_music_position(bool forced, uint32_t position) {
  position_forced = forced;
  forced_position = position;
}

void headless_reset_music() {
  music_free();
  fail_device = false;
  position_forced = false;
  frames_rendered = 0;
  start_ns = 0;
  audio_sink = nullptr;
  audio_context = nullptr;
}
