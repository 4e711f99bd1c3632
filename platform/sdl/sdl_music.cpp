// libopenmpt renders the module on SDL's audio thread. The position reported is the one the
// listener hears now: the audio thread stamps (frame, order, row) as it renders, and the main
// thread looks up the stamp of the frame being played, past the device's buffer.
//
// A device can go away mid-show (a headset unplugged, a sound server restarted). Then the
// default output is opened again and the module plays on from the frame it had reached; while
// no device opens, the main thread's polls render the module silently at the pace of the clock,
// so the script still reaches its end, and every few seconds another device is tried.
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
constexpr int64_t retry_interval_ns = 2000000000;  // between attempts to open a device again

// When the latest callback began (steady clock, ns) and the frame it began with.
std::atomic<int64_t> callback_time_ns{0};
std::atomic<uint64_t> callback_frame{0};
// Set by the event watch, on whatever thread SDL reports the removal from.
std::atomic<SDL_AudioDeviceID> watched_device{0};
std::atomic<bool> device_removed{false};

bool audio_started = false;  // the audio subsystem is initialised
SDL_AudioDeviceID device = 0;
openmpt_module* module = nullptr;  // touched by the audio thread only while it holds the device
bool playing = false;
int device_buffer_frames = device_frames;
char last_error[256] = "";

// Without a device: the heard frame runs on from silent_frame at silent_since_ns.
bool silent = false;
int64_t silent_since_ns = 0;
int64_t silent_frame = 0;
int64_t next_retry_ns = 0;
int64_t last_heard = 0;  // the heard frame never goes back, across device changes
int16_t silent_buffer[device_frames * 2];

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

int watch_removal(void*, SDL_Event* event) {
  if (event->type == SDL_AUDIODEVICEREMOVED && !event->adevice.iscapture &&
      event->adevice.which == watched_device.load(std::memory_order_relaxed))
    device_removed.store(true, std::memory_order_release);
  return 1;
}

// Starts the audio subsystem (again: a restarted sound server needs a new connection) and opens
// the default output, paused, its callback going on from the frames rendered so far.
bool open_device() {
  if (!audio_started && SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    std::snprintf(last_error, sizeof last_error, "%s", SDL_GetError());
    return false;
  }
  audio_started = true;
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
    audio_started = false;
    return false;
  }
  device_buffer_frames = have.samples;
  callback_frame.store(module_stream_frames_rendered(), std::memory_order_relaxed);
  callback_time_ns.store(now_ns(), std::memory_order_release);
  watched_device.store(device, std::memory_order_relaxed);
  // Watches go when the event system stops, which a restart of the audio alone can cause.
  SDL_DelEventWatch(watch_removal, nullptr);
  SDL_AddEventWatch(watch_removal, nullptr);
  return true;
}

void close_device() {
  watched_device.store(0, std::memory_order_relaxed);
  if (device != 0) SDL_CloseAudioDevice(device);  // waits for the audio thread to end
  device = 0;
  if (audio_started) SDL_QuitSubSystem(SDL_INIT_AUDIO);
  audio_started = false;
}

// The frame heard now through the device: the callback's first frame, less the buffer still
// queued ahead of it, plus the time since the callback began.
int64_t device_heard_frame(int64_t now) {
  const int64_t since = now - callback_time_ns.load(std::memory_order_acquire);
  return static_cast<int64_t>(callback_frame.load(std::memory_order_relaxed)) - device_buffer_frames +
         since * module_sample_rate / 1000000000;
}

int64_t silent_heard_frame(int64_t now) {
  return silent_frame + (now - silent_since_ns) * module_sample_rate / 1000000000;
}

// With no device the main thread is the rendering thread: it renders up to the heard frame.
void render_silently_through(int64_t heard) {
  while (static_cast<int64_t>(module_stream_frames_rendered()) <= heard) {
    const int64_t left = heard + 1 - static_cast<int64_t>(module_stream_frames_rendered());
    module_stream_render(module, silent_buffer, left < device_frames ? static_cast<int32_t>(left) : device_frames);
  }
}

bool resume_on_new_device() {
  if (!open_device()) return false;
  silent = false;
  SDL_PauseAudioDevice(device, 0);
  std::fprintf(stderr, "Audio device back: the music plays on\n");
  return true;
}

void lose_device(int64_t now) {
  const int64_t heard = silent ? silent_heard_frame(now) : device_heard_frame(now);
  close_device();
  std::fprintf(stderr, "Audio device lost: opening the default output again\n");
  if (resume_on_new_device()) return;
  silent = true;
  silent_since_ns = now;
  silent_frame = heard > last_heard ? heard : last_heard;
  next_retry_ns = now + retry_interval_ns;
  std::fprintf(stderr, "No audio device (%s): playing silently, trying again every %d seconds\n", last_error,
               static_cast<int>(retry_interval_ns / 1000000000));
}

}  // namespace

SDL_AudioDeviceID sdl_audio_device() { return device; }

bool music_init_device() { return open_device(); }

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
  // The module starts from its first frame now, whatever an earlier device had played.
  last_heard = 0;
  callback_frame.store(module_stream_frames_rendered(), std::memory_order_relaxed);
  callback_time_ns.store(now_ns(), std::memory_order_release);
  SDL_PauseAudioDevice(device, 0);
  playing = true;
  return true;
}

uint32_t music_position(MusicHandle) {
  if (!playing) return 0;
  const int64_t now = now_ns();
  // SDL reports a removal as an event; a device it stopped on its own counts the same.
  const bool removed = device_removed.exchange(false, std::memory_order_acquire);
  if (!silent && (removed || SDL_GetAudioDeviceStatus(device) == SDL_AUDIO_STOPPED)) lose_device(now);
  if (silent && now >= next_retry_ns) {
    const int64_t heard = silent_heard_frame(now);
    if (resume_on_new_device()) {
      if (heard > last_heard) last_heard = heard;  // the device goes on where the silence ended
    } else {
      next_retry_ns = now + retry_interval_ns;
    }
  }
  int64_t heard = silent ? silent_heard_frame(now) : device_heard_frame(now);
  if (heard < last_heard) heard = last_heard;
  last_heard = heard;
  if (silent) render_silently_through(heard);
  return module_stream_position_at(heard);
}

int32_t music_order_count(MusicHandle music) { return music ? module_order_count(module) : 0; }

int32_t music_pattern_rows(MusicHandle music, int32_t order) {
  return music ? module_pattern_rows(module, order) : -1;
}

void music_free() {
  SDL_DelEventWatch(watch_removal, nullptr);
  close_device();
  if (module) openmpt_module_destroy(module);
  module = nullptr;
  playing = false;
  silent = false;
  device_removed.store(false, std::memory_order_relaxed);
}

const char* music_last_error() { return last_error; }
