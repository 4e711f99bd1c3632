// SDL's audio output: its audio thread pulls the module from the player; the frame heard now is
// the one the latest callback began with, less the device buffer still ahead of it, carried on by
// the time since that callback. A device that calls back no more for a second has failed, with
// or without SDL saying so (a sound server that stalled holds its thread).
#include <atomic>
#include <cstdio>

#include "platform/module_stream.h"
#include "platform/music_device.h"
#include "platform/sdl/sdl_internal.h"
#include "platform/steady_clock.h"

namespace {

constexpr int device_frames = 1024;
constexpr int64_t stall_ns = 1000000000;

// When the latest callback began (steady clock, ns) and the frame it began with, written by the
// audio thread under a sequence count (odd while writing) so that the two are read as one.
std::atomic<uint32_t> callback_sequence{0};
std::atomic<int64_t> callback_time_ns{0};
std::atomic<int64_t> callback_frame{0};
// Set by the event watch, on whatever thread SDL reports the removal from.
std::atomic<SDL_AudioDeviceID> watched_device{0};
std::atomic<bool> device_removed{false};

bool audio_started = false;  // the audio subsystem is initialised
SDL_AudioDeviceID device = 0;
int device_buffer_frames = device_frames;
int64_t next_frame = 0;  // the stream frame of the next callback; audio thread only once started

void note_callback(int64_t frame, int64_t time_ns) {
  const uint32_t sequence = callback_sequence.load(std::memory_order_relaxed);
  callback_sequence.store(sequence + 1, std::memory_order_relaxed);
  std::atomic_thread_fence(std::memory_order_release);
  callback_frame.store(frame, std::memory_order_relaxed);
  callback_time_ns.store(time_ns, std::memory_order_relaxed);
  callback_sequence.store(sequence + 2, std::memory_order_release);
}

void read_callback(int64_t* frame, int64_t* time_ns) {
  for (;;) {
    const uint32_t before = callback_sequence.load(std::memory_order_acquire);
    *frame = callback_frame.load(std::memory_order_relaxed);
    *time_ns = callback_time_ns.load(std::memory_order_relaxed);
    std::atomic_thread_fence(std::memory_order_acquire);
    if ((before & 1) == 0 && callback_sequence.load(std::memory_order_relaxed) == before) return;
  }
}

void audio_callback(void*, Uint8* stream, int length) {
  const int frames = length / static_cast<int>(2 * sizeof(int16_t));
  note_callback(next_frame, steady_clock_ns());
  module_player_render(reinterpret_cast<int16_t*>(stream), frames);
  next_frame += frames;
}

int watch_removal(void*, SDL_Event* event) {
  if (event->type == SDL_AUDIODEVICEREMOVED && !event->adevice.iscapture &&
      event->adevice.which == watched_device.load(std::memory_order_relaxed))
    device_removed.store(true, std::memory_order_release);
  return 1;
}

void close_device() {
  SDL_DelEventWatch(watch_removal, nullptr);
  watched_device.store(0, std::memory_order_relaxed);
  if (device != 0) SDL_CloseAudioDevice(device);  // waits for the audio thread to end
  device = 0;
  if (audio_started) SDL_QuitSubSystem(SDL_INIT_AUDIO);
  audio_started = false;
}

// Starts the audio subsystem (again: a restarted sound server needs a new connection) and opens
// the default output, paused.
bool open_device(char* error, size_t error_size) {
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    std::snprintf(error, error_size, "%s", SDL_GetError());
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
    std::snprintf(error, error_size, "%s", SDL_GetError());
    close_device();
    return false;
  }
  device_buffer_frames = have.samples;
  device_removed.store(false, std::memory_order_relaxed);
  watched_device.store(device, std::memory_order_relaxed);
  // Watches go when the event system stops, which a restart of the audio alone can cause.
  SDL_DelEventWatch(watch_removal, nullptr);
  SDL_AddEventWatch(watch_removal, nullptr);
  return true;
}

void start_device(uint64_t first_frame) {
  next_frame = static_cast<int64_t>(first_frame);
  note_callback(next_frame, steady_clock_ns());
  SDL_PauseAudioDevice(device, 0);
}

bool device_heard_frame(int64_t* frame) {
  int64_t began = 0, began_ns = 0;
  read_callback(&began, &began_ns);
  const int64_t since = steady_clock_ns() - began_ns;
  // Never past what the latest callback rendered: a device that stalled holds where it stopped.
  const int64_t played = since * module_sample_rate / 1000000000;
  const int64_t rendered = 2 * static_cast<int64_t>(device_buffer_frames);
  *frame = began - device_buffer_frames + (played < rendered ? played : rendered);
  // SDL reports a removal as an event; a device it stopped on its own counts the same.
  const bool removed = device_removed.exchange(false, std::memory_order_acquire);
  return !removed && since < stall_ns && SDL_GetAudioDeviceStatus(device) != SDL_AUDIO_STOPPED;
}

}  // namespace

extern const MusicDevice sdl_audio = {"SDL audio", open_device, start_device, close_device, device_heard_frame};

SDL_AudioDeviceID sdl_audio_device() { return device; }
