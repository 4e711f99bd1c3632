// libopenmpt renders the module on an audio thread into waveOut buffers, 44100 Hz stereo. The
// position reported is the one heard now: the device's played position (waveOutGetPosition)
// is looked up among the stamps the audio thread made as it rendered.
//
// A device that fails while playing (unplugged, its sound server gone) does not stop the show:
// the module goes on in real time without sound, the heard position following the clock, and
// the device is tried again now and then. Each change is one line on standard error.
#include <windows.h>

#include <libopenmpt/libopenmpt.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <thread>

#include "platform/module_file.h"
#include "platform/module_stream.h"
#include "platform/music.h"

namespace {

constexpr int buffer_count = 4;
constexpr int buffer_frames = 1024;  // 4 x 23 ms queued ahead of the listener
constexpr DWORD stall_ms = 1000;     // no buffer back for this long: the device is lost
constexpr int64_t retry_ns = 2000000000;  // a lost device is tried again this often
constexpr DWORD silent_step_ms = 20;

WAVEFORMATEX format = {WAVE_FORMAT_PCM, 2, module_sample_rate, module_sample_rate * 4, 4, 16, 0};
HANDLE buffer_done = nullptr;  // signalled by the device whenever a buffer has been played
WAVEHDR headers[buffer_count];
int16_t samples[buffer_count][buffer_frames * 2];
int16_t silent_samples[buffer_frames * 2];  // rendered and dropped while there is no device
openmpt_module* module = nullptr;  // the audio thread's while it runs
std::thread audio_thread;
std::atomic<bool> stopping{false};
bool playing = false;
char last_error[256] = "";

// The device and where the heard frame comes from, shared by the audio and the main thread:
// the device's played position counted from device_origin, or without a device the clock,
// from silent_frame at silent_ns.
std::mutex clock_lock;
HWAVEOUT device = nullptr;
bool silent = false;
int64_t device_origin = 0;
int64_t silent_frame = 0;
int64_t silent_ns = 0;

int64_t now_ns() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void device_error(const char* what, MMRESULT result) {
  char reason[200] = "";
  waveOutGetErrorTextA(result, reason, sizeof reason);
  std::snprintf(last_error, sizeof last_error, "%s: %s", what, reason);
}

MMRESULT open_device(HWAVEOUT* opened) {
  const MMRESULT result = waveOutOpen(opened, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(buffer_done), 0,
                                      CALLBACK_EVENT);
  if (result != MMSYSERR_NOERROR) return result;
  for (int i = 0; i < buffer_count; ++i) {
    headers[i] = {};
    headers[i].lpData = reinterpret_cast<LPSTR>(samples[i]);
    headers[i].dwBufferLength = sizeof samples[i];
    waveOutPrepareHeader(*opened, &headers[i], sizeof headers[i]);
  }
  return MMSYSERR_NOERROR;
}

void close_device(HWAVEOUT closing) {
  waveOutReset(closing);  // every buffer comes back done
  for (WAVEHDR& header : headers) waveOutUnprepareHeader(closing, &header, sizeof header);
  waveOutClose(closing);
}

// The frame heard now; clock_lock held.
int64_t heard_frame() {
  if (silent) return silent_frame + (now_ns() - silent_ns) * module_sample_rate / 1000000000;
  MMTIME time = {};
  time.wType = TIME_SAMPLES;
  if (!device || waveOutGetPosition(device, &time, sizeof time) != MMSYSERR_NOERROR) return device_origin;
  if (time.wType == TIME_SAMPLES) return device_origin + time.u.sample;
  if (time.wType == TIME_BYTES) return device_origin + time.u.cb / 4;
  return device_origin;
}

bool queue_buffer(WAVEHDR& header) {
  module_stream_render(module, reinterpret_cast<int16_t*>(header.lpData), buffer_frames);
  header.dwFlags &= ~static_cast<DWORD>(WHDR_DONE);
  return waveOutWrite(device, &header, sizeof header) == MMSYSERR_NOERROR;
}

bool queue_every_buffer() {
  bool written = true;
  for (WAVEHDR& header : headers) written = queue_buffer(header) && written;
  return written;
}

// Refills the buffers the device has given back; false when the device failed or stalled.
bool keep_device_fed() {
  if (WaitForSingleObject(buffer_done, stall_ms) == WAIT_TIMEOUT) {
    bool any_done = false;
    for (const WAVEHDR& header : headers) any_done = any_done || (header.dwFlags & WHDR_DONE);
    if (!any_done) return false;
  }
  bool written = true;
  for (WAVEHDR& header : headers)
    if ((header.dwFlags & WHDR_DONE) && !stopping.load(std::memory_order_acquire))
      written = queue_buffer(header) && written;
  return written;
}

void lose_device() {
  std::lock_guard<std::mutex> hold(clock_lock);
  silent_frame = heard_frame();
  silent_ns = now_ns();
  silent = true;
  close_device(device);
  device = nullptr;
}

// Without a device: the module goes on in real time, a little ahead of the clock.
void play_silently() {
  int64_t heard;
  {
    std::lock_guard<std::mutex> hold(clock_lock);
    heard = heard_frame();
  }
  while (static_cast<int64_t>(module_stream_frames_rendered()) < heard + buffer_frames)
    module_stream_render(module, silent_samples, buffer_frames);
  Sleep(silent_step_ms);
}

// The device again, playing from the next frame to be rendered.
bool try_device_again() {
  HWAVEOUT reopened = nullptr;
  if (open_device(&reopened) != MMSYSERR_NOERROR) return false;
  std::lock_guard<std::mutex> hold(clock_lock);
  device = reopened;
  device_origin = static_cast<int64_t>(module_stream_frames_rendered());
  silent = false;
  return true;
}

void run_audio_thread() {
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_HIGHEST);  // the sound must not starve
  bool fed = queue_every_buffer();
  int64_t last_try = 0;
  bool said_silent = false;
  while (!stopping.load(std::memory_order_acquire)) {
    if (!silent) {
      if (fed) fed = keep_device_fed();
      if (fed || stopping.load(std::memory_order_acquire)) continue;
      lose_device();
      std::fprintf(stderr, "device lost\n");
      last_try = 0;
      said_silent = false;
    }
    if (now_ns() - last_try >= retry_ns) {
      last_try = now_ns();
      if (try_device_again()) {
        std::fprintf(stderr, "device back\n");
        fed = queue_every_buffer();
        continue;
      }
      if (!said_silent) std::fprintf(stderr, "playing silently\n");
      said_silent = true;
    }
    play_silently();
  }
}

void stop_audio_thread() {
  if (!audio_thread.joinable()) return;
  stopping.store(true, std::memory_order_release);
  SetEvent(buffer_done);
  audio_thread.join();
  std::lock_guard<std::mutex> hold(clock_lock);
  if (device) waveOutReset(device);  // every buffer comes back done
}

}  // namespace

bool music_init_device() {
  buffer_done = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  if (!buffer_done) {
    std::snprintf(last_error, sizeof last_error, "cannot create the audio event");
    return false;
  }
  const MMRESULT result = open_device(&device);
  if (result != MMSYSERR_NOERROR) {
    device = nullptr;
    device_error("waveOutOpen", result);
    CloseHandle(buffer_done);
    buffer_done = nullptr;
    return false;
  }
  return true;
}

MusicHandle music_load(const char* path) {
  openmpt_module* loaded = module_file_load(path, last_error, sizeof last_error);
  if (!loaded) return 0;
  stop_audio_thread();
  playing = false;
  if (module) openmpt_module_destroy(module);
  module = loaded;
  return 1;
}

bool music_play(MusicHandle music) {
  if (!device || music == 0 || !module) {
    std::snprintf(last_error, sizeof last_error, "no module loaded");
    return false;
  }
  stop_audio_thread();
  {
    std::lock_guard<std::mutex> hold(clock_lock);
    waveOutReset(device);  // the played position starts again at 0, the first stamped frame
    device_origin = 0;
    silent = false;
  }
  module_stream_reset(0);
  stopping.store(false, std::memory_order_release);
  audio_thread = std::thread(run_audio_thread);
  playing = true;
  return true;
}

uint32_t music_position(MusicHandle) {
  if (!playing) return 0;
  int64_t heard;
  {
    std::lock_guard<std::mutex> hold(clock_lock);
    heard = heard_frame();
  }
  return module_stream_position_at(heard);
}

void music_free() {
  stop_audio_thread();
  playing = false;
  if (device) close_device(device);
  device = nullptr;
  silent = false;
  if (buffer_done) CloseHandle(buffer_done);
  buffer_done = nullptr;
  if (module) openmpt_module_destroy(module);
  module = nullptr;
}

const char* music_last_error() { return last_error; }

int32_t music_order_count(MusicHandle music) { return music ? module_order_count(module) : 0; }

int32_t music_pattern_rows(MusicHandle music, int32_t order) {
  return music ? module_pattern_rows(module, order) : -1;
}
