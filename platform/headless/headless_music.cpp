// The headless output: the module is rendered exactly as far as virtual time has gone, so what
// is heard now is the last frame rendered, and every run is the same.
#include <algorithm>
#include <cstdio>

#include "platform/headless/headless.h"
#include "platform/headless/headless_internal.h"
#include "platform/module_player.h"
#include "platform/module_stream.h"
#include "platform/music.h"
#include "platform/music_device.h"

namespace {

constexpr uint64_t chunk_frames = 1024;

bool fail_device = false;
bool started = false;
uint64_t start_ns = 0;
uint64_t frames_rendered = 0;
HeadlessAudioSink audio_sink = nullptr;
void* audio_context = nullptr;
int16_t chunk[chunk_frames * 2];

bool open_device(char* error, size_t error_size) {
  if (!fail_device) return true;
  std::snprintf(error, error_size, "no audio device");
  return false;
}

void start_device(uint64_t first_frame) {
  started = true;
  start_ns = headless_time_ns();
  frames_rendered = first_frame;
}

void close_device() { started = false; }

bool device_heard_frame(int64_t* frame) {
  *frame = static_cast<int64_t>(frames_rendered);
  return true;
}

const MusicDevice headless_audio = {"headless", open_device, start_device, close_device, device_heard_frame};

}  // namespace

const MusicDevice* const music_devices[] = {&headless_audio};
const int32_t music_device_count = 1;

void headless_render_music_until(uint64_t time_ns) {
  if (!started || time_ns < start_ns) return;
  const uint64_t target = (time_ns - start_ns) * module_sample_rate / 1000000000ull;
  while (frames_rendered < target) {
    const uint64_t count = std::min(chunk_frames, target - frames_rendered);
    module_player_render(chunk, static_cast<int32_t>(count));
    if (audio_sink) audio_sink(chunk, count, audio_context);
    frames_rendered += count;
  }
}

void headless_set_audio_sink(HeadlessAudioSink sink, void* context) {
  audio_sink = sink;
  audio_context = context;
}

bool headless_music_started() { return started; }
uint64_t headless_music_start_ns() { return start_ns; }
void headless_fail_music_device(bool fail) { fail_device = fail; }

void headless_reset_music() {
  music_free();
  module_player_force_position(false, 0);
  fail_device = false;
  frames_rendered = 0;
  start_ns = 0;
  audio_sink = nullptr;
  audio_context = nullptr;
}
