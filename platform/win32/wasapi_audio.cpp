// WASAPI: the default render endpoint in shared mode, event driven, 44100 Hz stereo 16-bit (the
// audio engine converts where it runs at another rate), about 40 ms of buffer. Everything of COM
// lives on the device's own thread: it opens the endpoint, fills the buffer through
// module_player_render at each event, and after each fill reads the audio clock (the stream
// position being heard, with the performance-counter time the engine read it). The main thread
// carries that position on by the performance counter, never beyond the frames written and never
// back. A device that is invalidated or takes no frame for a second has failed; a new default
// output is told to the player, which opens it from the frame reached.
#include <windows.h>
// After windows.h:
#include <audioclient.h>
#include <mmdeviceapi.h>

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>

#include "platform/module_stream.h"
#include "platform/music_device.h"
#include "platform/win32/win32_internal.h"

namespace {

constexpr int64_t ticks_per_second = 10000000;  // REFERENCE_TIME's 100 ns
constexpr REFERENCE_TIME buffer_duration = ticks_per_second * 40 / 1000;
constexpr ULONGLONG stall_ticks = ticks_per_second;  // no frame taken for this long: the device is lost

enum class Phase { opening, open, refused, playing, stopping };

// What the device thread last read of the audio clock, in stream frames since start.
struct ClockReading {
  int64_t heard = 0;
  int64_t ticks = 0;  // the performance counter then, in 100 ns
  int64_t written = 0;
  bool valid = false;
};

struct Endpoint {
  IMMDeviceEnumerator* enumerator = nullptr;
  IMMDevice* device = nullptr;
  IAudioClient* client = nullptr;
  IAudioRenderClient* render = nullptr;
  IAudioClock* clock = nullptr;
  UINT32 buffer_frames = 0;
  UINT64 clock_frequency = 0;
  bool watching = false;
};

std::mutex mutex;  // guards phase, open_error and reading
std::condition_variable phase_changed;
Phase phase = Phase::opening;
char open_error[256] = "";
ClockReading reading;
std::thread device_thread;
HANDLE buffer_ready = nullptr;  // the engine wants frames; also set to wake the thread to stop
std::atomic<bool> failed{false};
int64_t stream_origin = 0;  // the stream frame the device's position 0 is
int64_t last_heard = 0;

int64_t counter_ticks() {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  const int64_t f = frequency.QuadPart;
  return now.QuadPart / f * ticks_per_second + now.QuadPart % f * ticks_per_second / f;
}

void set_phase(Phase next) {
  std::lock_guard<std::mutex> lock(mutex);
  phase = next;
  phase_changed.notify_all();
}

// The system's default output changing for music or for everything: the player moves to it.
class DefaultOutputWatch final : public IMMNotificationClient {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
    if (id == __uuidof(IUnknown) || id == __uuidof(IMMNotificationClient)) {
      *object = static_cast<IMMNotificationClient*>(this);
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 1; }  // one static object
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE OnDefaultDeviceChanged(EDataFlow flow, ERole role, LPCWSTR) override {
    if (flow == eRender && (role == eConsole || role == eMultimedia)) module_player_default_output_changed();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnDeviceStateChanged(LPCWSTR, DWORD) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnDeviceAdded(LPCWSTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnDeviceRemoved(LPCWSTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnPropertyValueChanged(LPCWSTR, const PROPERTYKEY) override { return S_OK; }
};
DefaultOutputWatch default_output_watch;

template <typename T>
void release(T*& object) {
  if (object) object->Release();
  object = nullptr;
}

void release_endpoint(Endpoint& e) {
  if (e.watching) e.enumerator->UnregisterEndpointNotificationCallback(&default_output_watch);
  e.watching = false;
  release(e.clock);
  release(e.render);
  release(e.client);
  release(e.device);
  release(e.enumerator);
}

bool refused(const char* step, HRESULT result, char* error, size_t error_size) {
  std::snprintf(error, error_size, "WASAPI: %s failed (0x%08lx)", step, static_cast<unsigned long>(result));
  return false;
}

bool open_endpoint(Endpoint& e, char* error, size_t error_size) {
  HRESULT r = CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL, __uuidof(IMMDeviceEnumerator),
                               reinterpret_cast<void**>(&e.enumerator));
  if (FAILED(r)) return refused("the device enumerator", r, error, error_size);
  r = e.enumerator->GetDefaultAudioEndpoint(eRender, eConsole, &e.device);
  if (FAILED(r)) return refused("the default output", r, error, error_size);
  r = e.device->Activate(__uuidof(IAudioClient), CLSCTX_ALL, nullptr, reinterpret_cast<void**>(&e.client));
  if (FAILED(r)) return refused("the audio client", r, error, error_size);
  WAVEFORMATEX* mix = nullptr;
  DWORD flags = AUDCLNT_STREAMFLAGS_EVENTCALLBACK | AUDCLNT_STREAMFLAGS_AUTOCONVERTPCM;
  if (SUCCEEDED(e.client->GetMixFormat(&mix)) && mix->nSamplesPerSec != module_sample_rate)
    flags |= AUDCLNT_STREAMFLAGS_SRC_DEFAULT_QUALITY;
  CoTaskMemFree(mix);
  WAVEFORMATEX format = {WAVE_FORMAT_PCM, 2, module_sample_rate, module_sample_rate * 4, 4, 16, 0};
  r = e.client->Initialize(AUDCLNT_SHAREMODE_SHARED, flags, buffer_duration, 0, &format, nullptr);
  if (FAILED(r)) return refused("a 44100 Hz stereo 16-bit stream", r, error, error_size);
  if (FAILED(r = e.client->SetEventHandle(buffer_ready)) || FAILED(r = e.client->GetBufferSize(&e.buffer_frames)))
    return refused("the stream's buffer", r, error, error_size);
  r = e.client->GetService(__uuidof(IAudioRenderClient), reinterpret_cast<void**>(&e.render));
  if (FAILED(r)) return refused("the render client", r, error, error_size);
  r = e.client->GetService(__uuidof(IAudioClock), reinterpret_cast<void**>(&e.clock));
  if (SUCCEEDED(r)) r = e.clock->GetFrequency(&e.clock_frequency);
  if (FAILED(r) || e.clock_frequency == 0) return refused("the audio clock", FAILED(r) ? r : E_FAIL, error, error_size);
  e.watching = SUCCEEDED(e.enumerator->RegisterEndpointNotificationCallback(&default_output_watch));
  return true;
}

// Writes as many frames as the buffer has room for; false when the device is gone.
bool fill(Endpoint& e, int64_t& written) {
  UINT32 queued = 0;
  if (FAILED(e.client->GetCurrentPadding(&queued))) return false;
  const UINT32 frames = e.buffer_frames - queued;
  if (frames == 0) return true;
  BYTE* data = nullptr;
  if (FAILED(e.render->GetBuffer(frames, &data))) return false;
  module_player_render(reinterpret_cast<int16_t*>(data), static_cast<int32_t>(frames));
  if (FAILED(e.render->ReleaseBuffer(frames, 0))) return false;
  written += frames;
  return true;
}

void read_clock(Endpoint& e, int64_t written) {
  UINT64 position = 0, ticks = 0;
  if (FAILED(e.clock->GetPosition(&position, &ticks))) return;
  const auto heard = static_cast<int64_t>(position / e.clock_frequency * module_sample_rate +
                                          position % e.clock_frequency * module_sample_rate / e.clock_frequency);
  std::lock_guard<std::mutex> lock(mutex);
  reading = {heard, static_cast<int64_t>(ticks), written, true};
}

bool stopping() {
  std::lock_guard<std::mutex> lock(mutex);
  return phase == Phase::stopping;
}

void play(Endpoint& e) {
  int64_t written = 0;
  if (!fill(e, written) || FAILED(e.client->Start())) {
    failed.store(true, std::memory_order_release);
    return;
  }
  // Timed on a clock that stops while the machine sleeps: a resume is not a stall.
  ULONGLONG progress = 0;
  QueryUnbiasedInterruptTime(&progress);
  while (!stopping()) {
    WaitForSingleObject(buffer_ready, static_cast<DWORD>(stall_ticks / (ticks_per_second / 1000)));
    if (stopping()) break;
    const int64_t before = written;
    if (!fill(e, written)) break;
    ULONGLONG now = 0;
    QueryUnbiasedInterruptTime(&now);
    if (written > before) progress = now;
    if (now - progress >= stall_ticks) break;
    read_clock(e, written);
  }
  if (!stopping()) failed.store(true, std::memory_order_release);
  e.client->Stop();
}

// MMCSS's "Pro Audio" where avrt is there (it is loaded, not imported), a high priority otherwise.
HANDLE raise_priority() {
  using SetCall = HANDLE(WINAPI*)(LPCSTR, LPDWORD);
  DWORD task_index = 0;
  const HMODULE avrt = LoadLibraryA("avrt.dll");
  const auto set = avrt ? loaded_call<SetCall>(avrt, "AvSetMmThreadCharacteristicsA") : nullptr;
  const HANDLE task = set ? set("Pro Audio", &task_index) : nullptr;
  if (!task) SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_HIGHEST);
  return task;
}

void lower_priority(HANDLE task) {
  using RevertCall = BOOL(WINAPI*)(HANDLE);
  const HMODULE avrt = task ? GetModuleHandleA("avrt.dll") : nullptr;
  const auto revert = avrt ? loaded_call<RevertCall>(avrt, "AvRevertMmThreadCharacteristics") : nullptr;
  if (revert) revert(task);
}

void run_device_thread() {
  const HANDLE task = raise_priority();
  const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
  Endpoint e;
  char error[sizeof open_error] = "WASAPI: COM could not start";
  const bool opened = com && open_endpoint(e, error, sizeof error);
  {
    std::unique_lock<std::mutex> lock(mutex);
    std::snprintf(open_error, sizeof open_error, "%s", error);
    phase = opened ? Phase::open : Phase::refused;
    phase_changed.notify_all();
    phase_changed.wait(lock, [] { return phase != Phase::open; });
  }
  if (opened && !stopping()) play(e);
  release_endpoint(e);
  if (com) CoUninitialize();
  lower_priority(task);
}

void close_device() {
  if (!device_thread.joinable()) return;
  set_phase(Phase::stopping);
  SetEvent(buffer_ready);
  device_thread.join();
}

bool open_device(char* error, size_t error_size) {
  if (!buffer_ready) buffer_ready = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  if (!buffer_ready) {
    std::snprintf(error, error_size, "WASAPI: cannot create the audio event");
    return false;
  }
  phase = Phase::opening;
  device_thread = std::thread(run_device_thread);
  std::unique_lock<std::mutex> lock(mutex);
  phase_changed.wait(lock, [] { return phase != Phase::opening; });
  if (phase == Phase::open) return true;
  std::snprintf(error, error_size, "%s", open_error);
  lock.unlock();
  device_thread.join();
  return false;
}

void start_device(uint64_t first_frame) {
  stream_origin = static_cast<int64_t>(first_frame);
  last_heard = stream_origin;
  failed.store(false, std::memory_order_release);
  std::lock_guard<std::mutex> lock(mutex);
  reading = {};
  phase = Phase::playing;
  phase_changed.notify_all();
}

bool device_heard_frame(int64_t* frame) {
  ClockReading now;
  {
    std::lock_guard<std::mutex> lock(mutex);
    now = reading;
  }
  if (now.valid) {
    int64_t heard = now.heard + (counter_ticks() - now.ticks) * module_sample_rate / ticks_per_second;
    if (heard > now.written) heard = now.written;
    if (stream_origin + heard > last_heard) last_heard = stream_origin + heard;
  }
  *frame = last_heard;
  return !failed.load(std::memory_order_acquire);
}

}  // namespace

extern const MusicDevice wasapi_audio = {"WASAPI", open_device, start_device, close_device, device_heard_frame};
