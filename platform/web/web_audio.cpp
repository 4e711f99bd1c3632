// The page's Web Audio output: its scheduler asks the wasm for chunks of the module and starts
// each on the AudioContext's clock, ahead of time; the frame heard now is the one leaving the
// audio graph.
#include <emscripten.h>

#include <cmath>
#include <cstdio>

#include "platform/module_stream.h"
#include "platform/music_device.h"
#include "platform/web/web_page.h"

namespace {

constexpr int32_t max_chunk_frames = 8192;

int16_t chunk[max_chunk_frames * 2];
bool started = false;

bool open_device(char* error, size_t error_size) {
  // Indexed by WebAudioOpen.
  static const char* const refusals[] = {"", "this browser gives the page no audio output",
                                         "the browser's audio output is not running"};
  const int32_t answer = static_cast<int32_t>(web_audio_open());
  if (answer == 0) return true;
  std::snprintf(error, error_size, "%s", refusals[answer == 1 ? 1 : 2]);
  return false;
}

void start_device(uint64_t first_frame) {
  started = true;
  web_audio_start(static_cast<double>(first_frame));
}

void close_device() {
  if (started) web_audio_stop();
  started = false;
}

bool device_heard_frame(int64_t* frame) {
  double heard = 0;
  const bool running = web_audio_heard_frame(&heard);
  *frame = static_cast<int64_t>(std::floor(heard));
  return running;
}

const MusicDevice web_audio = {"Web Audio", open_device, start_device, close_device, device_heard_frame};

}  // namespace

const MusicDevice* const music_devices[] = {&web_audio};
const int32_t music_device_count = 1;

// The page's scheduler asks for the next chunk: `frames` stereo frames, 16-bit interleaved,
// continuing the stream; silence once the module is gone.
extern "C" EMSCRIPTEN_KEEPALIVE const int16_t* web_music_render(int32_t frames) {
  if (frames < 0) frames = 0;
  if (frames > max_chunk_frames) frames = max_chunk_frames;
  if (started) {
    module_player_render(chunk, frames);
  } else {
    for (int32_t i = 0; i < frames * 2; ++i) chunk[i] = 0;
  }
  return chunk;
}

// The position stamped at or before a frame of the stream, packed as the script reads it.
extern "C" EMSCRIPTEN_KEEPALIVE uint32_t web_music_position_at(double frame) {
  return module_stream_position_at(static_cast<int64_t>(std::floor(frame)));
}

// The page's context runs again after the player took it for lost (a phone's call has ended): the
// player takes it up at its next poll instead of its next retry.
extern "C" EMSCRIPTEN_KEEPALIVE void web_music_output_back() { module_player_default_output_changed(); }
