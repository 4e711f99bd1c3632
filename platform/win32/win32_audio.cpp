// waveOut: an audio thread pulls the module from the player into four buffers of 1024 frames,
// 44100 Hz stereo, and gives each back to the device as it is played. The frame heard now is the
// device's played position (waveOutGetPosition), counted from the frame it started with and
// carried on across the wraps of its 32 bits. A device that refuses a buffer, or gives none back
// for a second, has failed.
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <thread>

#include "platform/module_stream.h"
#include "platform/music_device.h"
#include "platform/wrapping_count.h"

namespace {

constexpr int buffer_count = 4;
constexpr int buffer_frames = 1024;  // 4 x 23 ms queued ahead of the listener
constexpr DWORD stall_ms = 1000;     // no buffer back for this long: the device is lost

WAVEFORMATEX format = {WAVE_FORMAT_PCM, 2, module_sample_rate, module_sample_rate * 4, 4, 16, 0};
HANDLE buffer_done = nullptr;  // signalled by the device whenever a buffer has been played
WAVEHDR headers[buffer_count];
int16_t samples[buffer_count][buffer_frames * 2];
HWAVEOUT device = nullptr;
int64_t device_origin = 0;  // the stream frame the device's position 0 is
int64_t last_heard = 0;
WrappingCount played;  // in the unit the driver answers in (samples or bytes)
std::thread audio_thread;
std::atomic<bool> stopping{false};
std::atomic<bool> failed{false};

bool queue_buffer(WAVEHDR& header) {
  module_player_render(reinterpret_cast<int16_t*>(header.lpData), buffer_frames);
  header.dwFlags &= ~static_cast<DWORD>(WHDR_DONE);
  return waveOutWrite(device, &header, sizeof header) == MMSYSERR_NOERROR;
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

void run_audio_thread() {
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_HIGHEST);  // the sound must not starve
  bool fed = true;
  for (WAVEHDR& header : headers) fed = queue_buffer(header) && fed;
  while (fed && !stopping.load(std::memory_order_acquire)) fed = keep_device_fed();
  if (!fed && !stopping.load(std::memory_order_acquire)) failed.store(true, std::memory_order_release);
}

void close_device() {
  if (audio_thread.joinable()) {
    stopping.store(true, std::memory_order_release);
    SetEvent(buffer_done);
    audio_thread.join();
  }
  if (device) {
    waveOutReset(device);  // every buffer comes back done
    for (WAVEHDR& header : headers) waveOutUnprepareHeader(device, &header, sizeof header);
    waveOutClose(device);
  }
  device = nullptr;
}

bool open_device(char* error, size_t error_size) {
  if (!buffer_done) buffer_done = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  if (!buffer_done) {
    std::snprintf(error, error_size, "cannot create the audio event");
    return false;
  }
  const MMRESULT result = waveOutOpen(&device, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(buffer_done), 0,
                                      CALLBACK_EVENT);
  if (result != MMSYSERR_NOERROR) {
    device = nullptr;
    char reason[200] = "";
    waveOutGetErrorTextA(result, reason, sizeof reason);
    std::snprintf(error, error_size, "waveOutOpen: %s", reason);
    return false;
  }
  for (int i = 0; i < buffer_count; ++i) {
    headers[i] = {};
    headers[i].lpData = reinterpret_cast<LPSTR>(samples[i]);
    headers[i].dwBufferLength = sizeof samples[i];
    waveOutPrepareHeader(device, &headers[i], sizeof headers[i]);
  }
  return true;
}

void start_device(uint64_t first_frame) {
  device_origin = static_cast<int64_t>(first_frame);
  last_heard = device_origin;
  played = {};
  stopping.store(false, std::memory_order_release);
  failed.store(false, std::memory_order_release);
  audio_thread = std::thread(run_audio_thread);
}

bool device_heard_frame(int64_t* frame) {
  MMTIME time = {};
  time.wType = TIME_SAMPLES;
  if (!failed.load(std::memory_order_acquire) && waveOutGetPosition(device, &time, sizeof time) == MMSYSERR_NOERROR) {
    if (time.wType == TIME_SAMPLES)
      last_heard = device_origin + static_cast<int64_t>(wrapping_count_update(played, time.u.sample));
    if (time.wType == TIME_BYTES)
      last_heard = device_origin + static_cast<int64_t>(wrapping_count_update(played, time.u.cb) / 4);
  }
  *frame = last_heard;
  return !failed.load(std::memory_order_acquire);
}

}  // namespace

extern const MusicDevice wave_out_audio = {"waveOut", open_device, start_device, close_device, device_heard_frame};
