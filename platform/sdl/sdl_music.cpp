// libopenmpt renders the module on SDL's audio thread. The position reported is the one the
// listener hears now: the audio thread stamps (frame, order, row) as it renders, and the main
// thread looks up the stamp of the frame being played, past the device's buffer.
#include <libopenmpt/libopenmpt.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "platform/module_file.h"
#include "platform/music.h"
#include "platform/sdl/sdl_internal.h"

namespace {

constexpr int sample_rate = 44100;
constexpr int device_frames = 1024;
constexpr int slice_frames = 128;  // one position stamp per slice: under 3 ms
constexpr uint32_t stamp_count = 1024;

// One stamp in one atomic word: frame (40 bits), order (12 bits), row (12 bits).
std::atomic<uint64_t> stamps[stamp_count];
std::atomic<uint32_t> stamps_written{0};
// When the latest callback began (steady clock, ns) and the frame it began with.
std::atomic<int64_t> callback_time_ns{0};
std::atomic<uint64_t> callback_frame{0};

SDL_AudioDeviceID device = 0;
openmpt_module* module = nullptr;  // touched by the audio thread only while it holds the device
uint64_t frames_rendered = 0;      // audio thread only
bool playing = false;
int device_buffer_frames = device_frames;
char last_error[256] = "";

int64_t now_ns() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

uint64_t pack_stamp(uint64_t frame, uint32_t order, uint32_t row) {
  return (frame & 0xFFFFFFFFFFull) << 24 | static_cast<uint64_t>(order & 0xFFF) << 12 | (row & 0xFFF);
}

void audio_callback(void*, Uint8* stream, int length) {
  int16_t* out = reinterpret_cast<int16_t*>(stream);
  const int frames = length / static_cast<int>(2 * sizeof(int16_t));
  callback_frame.store(frames_rendered, std::memory_order_relaxed);
  callback_time_ns.store(now_ns(), std::memory_order_release);
  if (!module) {
    std::memset(stream, 0, static_cast<size_t>(length));
    return;
  }
  for (int done = 0; done < frames;) {
    const int count = frames - done < slice_frames ? frames - done : slice_frames;
    const uint32_t order = static_cast<uint32_t>(openmpt_module_get_current_order(module));
    const uint32_t row = static_cast<uint32_t>(openmpt_module_get_current_row(module));
    const uint32_t index = stamps_written.load(std::memory_order_relaxed);
    stamps[index % stamp_count].store(pack_stamp(frames_rendered, order, row), std::memory_order_relaxed);
    stamps_written.store(index + 1, std::memory_order_release);
    const size_t got = openmpt_module_read_interleaved_stereo(module, sample_rate, static_cast<size_t>(count),
                                                              out + 2 * done);
    if (got < static_cast<size_t>(count))
      std::memset(out + 2 * (done + static_cast<int>(got)), 0, (static_cast<size_t>(count) - got) * 4);
    frames_rendered += static_cast<uint64_t>(count);
    done += count;
  }
}

}  // namespace

bool music_init_device() {
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    std::snprintf(last_error, sizeof last_error, "%s", SDL_GetError());
    return false;
  }
  SDL_AudioSpec want = {};
  want.freq = sample_rate;
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
  frames_rendered = 0;
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
  const uint32_t written = stamps_written.load(std::memory_order_acquire);
  if (!playing || written == 0) return 0;
  // The frame heard now: the callback's first frame, less the buffer still queued ahead of it,
  // plus the time since the callback began.
  const int64_t since = now_ns() - callback_time_ns.load(std::memory_order_acquire);
  const int64_t heard = static_cast<int64_t>(callback_frame.load(std::memory_order_relaxed)) -
                        device_buffer_frames + since * sample_rate / 1000000000;
  // Newest stamp at or before that frame, among those the audio thread cannot be overwriting.
  const uint32_t oldest = written > stamp_count / 2 ? written - stamp_count / 2 : 0;
  uint64_t chosen = stamps[oldest % stamp_count].load(std::memory_order_relaxed);
  for (uint32_t i = written; i-- > oldest;) {
    const uint64_t stamp = stamps[i % stamp_count].load(std::memory_order_relaxed);
    if (static_cast<int64_t>(stamp >> 24) <= heard) {
      chosen = stamp;
      break;
    }
  }
  const uint32_t order = static_cast<uint32_t>(chosen >> 12) & 0xFFF;
  const uint32_t row = static_cast<uint32_t>(chosen) & 0xFFF;
  return order | row << 16;
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
