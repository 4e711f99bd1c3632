// libopenmpt renders the module on SDL's audio thread. The position reported is the one the
// listener hears now: the audio thread stamps (frame, order, row) as it renders, and the main
// thread looks up the stamp of the frame being played, past the device's buffer.
#include <libopenmpt/libopenmpt.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "platform/module_file.h"
#include "platform/module_stream.h"
#include "platform/music.h"
#include "platform/sdl/sdl_internal.h"

namespace {

constexpr int device_frames = 1024;

// When the latest callback began (steady clock, ns) and the frame it began with.
std::atomic<int64_t> callback_time_ns{0};
std::atomic<uint64_t> callback_frame{0};

SDL_AudioDeviceID device = 0;
openmpt_module* module = nullptr;  // touched by the audio thread only while it holds the device
bool playing = false;
int device_buffer_frames = device_frames;
char last_error[256] = "";

int64_t now_ns() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void audio_callback(void*, Uint8* stream, int length) {
  const int frames = length / static_cast<int>(2 * sizeof(int16_t));
  callback_frame.store(module_stream_frames_rendered(), std::memory_order_relaxed);
  callback_time_ns.store(now_ns(), std::memory_order_release);
  if (!module) {
    std::memset(stream, 0, static_cast<size_t>(length));
    return;
  }
  module_stream_render(module, reinterpret_cast<int16_t*>(stream), frames);
}

}  // namespace

bool music_init_device() {
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    std::snprintf(last_error, sizeof last_error, "%s", SDL_GetError());
    return false;
  }
  SDL_AudioSpec want = {};
  want.freq = module_sample_rate;
  want.format = AUDIO_S16SYS;
  want.channels = 2;
  want.samples = device_frames;
  want.callback = audio_callback;
  SDL_AudioSpec have = {};
  device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  if (device == 0) {
    std::snprintf(last_error, sizeof last_error, "%s", SDL_GetError());
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  }
  device_buffer_frames = have.samples;
  return true;
}

MusicHandle music_load(const char* path) {
  openmpt_module* loaded = module_file_load(path, last_error, sizeof last_error);
  if (!loaded) return 0;
  SDL_LockAudioDevice(device);
  openmpt_module* old = module;
  module = loaded;
  module_stream_reset(0);
  SDL_UnlockAudioDevice(device);
  if (old) openmpt_module_destroy(old);
  return 1;
}

bool music_play(MusicHandle music) {
  if (device == 0 || music == 0) {
    std::snprintf(last_error, sizeof last_error, "no module loaded");
    return false;
  }
  SDL_PauseAudioDevice(device, 0);
  playing = true;
  return true;
}

uint32_t music_position(MusicHandle) {
  if (!playing) return 0;
  // The frame heard now: the callback's first frame, less the buffer still queued ahead of it,
  // plus the time since the callback began.
  const int64_t since = now_ns() - callback_time_ns.load(std::memory_order_acquire);
  const int64_t heard = static_cast<int64_t>(callback_frame.load(std::memory_order_relaxed)) -
                        device_buffer_frames + since * module_sample_rate / 1000000000;
  return module_stream_position_at(heard);
}

void music_free() {
  if (device != 0) {
    SDL_CloseAudioDevice(device);
    device = 0;
  }
  if (module) openmpt_module_destroy(module);
  module = nullptr;
  playing = false;
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

const char* music_last_error() { return last_error; }
