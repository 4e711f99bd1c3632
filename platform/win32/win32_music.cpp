// libopenmpt renders the module on an audio thread into waveOut buffers, 44100 Hz stereo. The
// position reported is the one heard now: the device's played position (waveOutGetPosition)
// is looked up among the stamps the audio thread made as it rendered.
#include <windows.h>

#include <libopenmpt/libopenmpt.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <thread>

#include "platform/module_file.h"
#include "platform/module_stream.h"
#include "platform/music.h"

namespace {

constexpr int buffer_count = 4;
constexpr int buffer_frames = 1024;  // 4 x 23 ms queued ahead of the listener

HWAVEOUT device = nullptr;
HANDLE buffer_done = nullptr;  // signalled by the device whenever a buffer has been played
WAVEHDR headers[buffer_count];
int16_t samples[buffer_count][buffer_frames * 2];
openmpt_module* module = nullptr;  // the audio thread's while it runs
std::thread audio_thread;
std::atomic<bool> stopping{false};
bool playing = false;
char last_error[256] = "";

void device_error(const char* what, MMRESULT result) {
  char reason[200] = "";
  waveOutGetErrorTextA(result, reason, sizeof reason);
  std::snprintf(last_error, sizeof last_error, "%s: %s", what, reason);
}

void queue_buffer(WAVEHDR& header) {
  module_stream_render(module, reinterpret_cast<int16_t*>(header.lpData), buffer_frames);
  header.dwFlags &= ~static_cast<DWORD>(WHDR_DONE);
  waveOutWrite(device, &header, sizeof header);
}

// Fills every buffer once, then refills each as the device gives it back; sleeps in between.
void run_audio_thread() {
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_HIGHEST);  // the sound must not starve
  for (WAVEHDR& header : headers) queue_buffer(header);
  while (!stopping.load(std::memory_order_acquire)) {
    WaitForSingleObject(buffer_done, INFINITE);
    for (WAVEHDR& header : headers)
      if ((header.dwFlags & WHDR_DONE) && !stopping.load(std::memory_order_acquire)) queue_buffer(header);
  }
}

void stop_audio_thread() {
  if (!audio_thread.joinable()) return;
  stopping.store(true, std::memory_order_release);
  SetEvent(buffer_done);
  audio_thread.join();
  waveOutReset(device);  // every buffer comes back done
}

}  // namespace

bool music_init_device() {
  WAVEFORMATEX format = {};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = 2;
  format.nSamplesPerSec = module_sample_rate;
  format.wBitsPerSample = 16;
  format.nBlockAlign = 4;
  format.nAvgBytesPerSec = module_sample_rate * 4;
  buffer_done = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  if (!buffer_done) {
    std::snprintf(last_error, sizeof last_error, "cannot create the audio event");
    return false;
  }
  const MMRESULT result = waveOutOpen(&device, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(buffer_done), 0,
                                      CALLBACK_EVENT);
  if (result != MMSYSERR_NOERROR) {
    device = nullptr;
    device_error("waveOutOpen", result);
    CloseHandle(buffer_done);
    buffer_done = nullptr;
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
  waveOutReset(device);  // the played position starts again at 0, the first stamped frame
  module_stream_reset(0);
  stopping.store(false, std::memory_order_release);
  audio_thread = std::thread(run_audio_thread);
  playing = true;
  return true;
}

uint32_t music_position(MusicHandle) {
  if (!playing) return 0;
  MMTIME time = {};
  time.wType = TIME_SAMPLES;
  if (waveOutGetPosition(device, &time, sizeof time) != MMSYSERR_NOERROR) return module_stream_position_at(0);
  int64_t heard = 0;
  if (time.wType == TIME_SAMPLES)
    heard = time.u.sample;
  else if (time.wType == TIME_BYTES)
    heard = time.u.cb / 4;
  return module_stream_position_at(heard);
}

void music_free() {
  stop_audio_thread();
  playing = false;
  if (device) {
    waveOutReset(device);
    for (WAVEHDR& header : headers) waveOutUnprepareHeader(device, &header, sizeof header);
    waveOutClose(device);
    device = nullptr;
  }
  if (buffer_done) CloseHandle(buffer_done);
  buffer_done = nullptr;
  if (module) openmpt_module_destroy(module);
  module = nullptr;
}

const char* music_last_error() { return last_error; }
