// The music front end of every platform: one libopenmpt module, rendered through the stamp ring by
// whichever device plays it, and the position of the frame being heard now.
//
// A device can go away mid-show (a headset unplugged, a sound server restarted). The module then
// goes on from the frame it had reached: through the next device that opens, or, while none does,
// silently at the pace of the clock, rendered by the main thread's polls so that the script still
// reaches its end. The devices are tried again every 2 seconds; each change is one line on
// standard error. The heard frame never goes back, across every change.
#include <libopenmpt/libopenmpt.h>

#include <atomic>
#include <cstdio>
#include <cstring>

#include "platform/counter.h"
#include "platform/module_file.h"
#include "platform/module_player.h"
#include "platform/module_stream.h"
#include "platform/music.h"
#include "platform/music_device.h"

namespace {

constexpr int64_t ns_per_second = 1000000000;
constexpr int64_t retry_interval_ns = 2 * ns_per_second;
constexpr int32_t silent_chunk_frames = 1024;

openmpt_module* module = nullptr;     // the device's rendering thread reads it while started
const MusicDevice* device = nullptr;  // the open device; none while silent
bool started = false;                 // the device pulls sound
bool playing = false;
char last_error[256] = "";

// Without a device the heard frame runs on from silent_frame at silent_since_ns.
bool silent = false;
int64_t silent_since_ns = 0;
int64_t silent_frame = 0;
int64_t next_retry_ns = 0;
int64_t last_heard = 0;
int16_t silent_buffer[silent_chunk_frames * 2];

int64_t display_lead_frames = 0;  // one and a half display periods, where there is a screen
std::atomic<bool> default_output_changed{false};

bool position_forced = false;
uint32_t forced_position = 0;

void set_error(const char* text) { std::snprintf(last_error, sizeof last_error, "%s", text); }

int64_t now_ns() {
  const int64_t frequency = counter_frequency();
  if (frequency <= 0) return 0;
  const int64_t count = counter_now();
  return count / frequency * ns_per_second + count % frequency * ns_per_second / frequency;
}

// The first of the backend's devices that opens; the reason of the last refusal otherwise.
bool open_a_device() {
  for (int32_t i = 0; i < music_device_count; ++i) {
    if (music_devices[i]->open(last_error, sizeof last_error)) {
      device = music_devices[i];
      return true;
    }
  }
  device = nullptr;
  return false;
}

void close_device() {
  if (device) device->close();
  device = nullptr;
  started = false;
}

bool start_a_device() {
  if (!open_a_device()) return false;
  default_output_changed.store(false, std::memory_order_relaxed);  // this device is the new default
  device->start(module_stream_frames_rendered());
  started = true;
  return true;
}

int64_t silent_heard_frame(int64_t now) {
  return silent_frame + (now - silent_since_ns) * module_sample_rate / ns_per_second;
}

// With no device the main thread renders, up to the frame heard now.
void render_silently_through(int64_t heard) {
  while (static_cast<int64_t>(module_stream_frames_rendered()) <= heard) {
    const int64_t left = heard + 1 - static_cast<int64_t>(module_stream_frames_rendered());
    module_player_render(silent_buffer, left < silent_chunk_frames ? static_cast<int32_t>(left) : silent_chunk_frames);
  }
}

// The device is closed and the list opened again; the stream goes on from the frames rendered.
void reopen_device(int64_t heard, int64_t now, const char* before, const char* after) {
  close_device();
  if (before) std::fputs(before, stderr);
  if (start_a_device()) {
    std::fputs(after, stderr);
    return;
  }
  silent = true;
  silent_since_ns = now;
  silent_frame = heard > last_heard ? heard : last_heard;
  next_retry_ns = now + retry_interval_ns;
  std::fprintf(stderr, "No audio device (%s): playing silently, trying again every %d seconds\n", last_error,
               static_cast<int>(retry_interval_ns / ns_per_second));
}

void lose_device(int64_t heard, int64_t now) {
  reopen_device(heard, now, "Audio device lost: opening the default output again\n",
                "Audio device back: the music plays on\n");
}

void move_to_default_output(int64_t heard, int64_t now) {
  reopen_device(heard, now, nullptr, "Default audio output changed: the music plays on through it\n");
}

void try_devices_again(int64_t now) {
  next_retry_ns = now + retry_interval_ns;
  const int64_t heard = silent_heard_frame(now);
  render_silently_through(heard);  // the device takes the stream from where the silence is
  if (!start_a_device()) return;
  if (heard > last_heard) last_heard = heard;  // the device goes on where the silence ended
  silent = false;
  std::fprintf(stderr, "Audio device back: the music plays on\n");
}

}  // namespace

void module_player_render(int16_t* out, int32_t frames) {
  if (module) {
    module_stream_render(module, out, frames);
  } else {
    std::memset(out, 0, static_cast<size_t>(frames) * 2 * sizeof(int16_t));
  }
}

void module_player_force_position(bool forced, uint32_t position) {
  position_forced = forced;
  forced_position = position;
}

void module_player_set_display_rate(int32_t refresh_hz) {
  display_lead_frames = module_sample_rate * 3 / (2 * (refresh_hz > 0 ? refresh_hz : 60));
}

void module_player_default_output_changed() { default_output_changed.store(true, std::memory_order_release); }

bool music_init_device() { return open_a_device(); }

MusicHandle music_load(const char* path) {
  openmpt_module* loaded = module_file_load(path, last_error, sizeof last_error);
  if (!loaded) return 0;
  if (started) close_device();  // nothing renders the old module any more
  playing = false;
  silent = false;
  if (module) openmpt_module_destroy(module);
  module = loaded;
  module_stream_reset(0);
  return 1;
}

bool music_play(MusicHandle music) {
  if (music == 0 || !module) {
    set_error("no module loaded");
    return false;
  }
  if (started) close_device();  // played again: a fresh stream through a freshly opened device
  if (!device && !open_a_device()) return false;
  default_output_changed.store(false, std::memory_order_relaxed);
  module_stream_reset(0);
  silent = false;
  last_heard = 0;
  device->start(0);
  started = true;
  playing = true;
  return true;
}

uint32_t music_position(MusicHandle) {
  if (position_forced) return forced_position;
  if (!playing) return 0;
  const int64_t now = now_ns();
  int64_t heard = last_heard;
  if (silent) {
    // A changed default output may be one that opens: tried at once.
    if (now >= next_retry_ns || default_output_changed.exchange(false, std::memory_order_acquire)) {
      try_devices_again(now);
    }
    heard = silent ? silent_heard_frame(now) : last_heard;
  } else if (!device->heard_frame(&heard)) {
    lose_device(heard, now);
    if (silent) heard = silent_heard_frame(now);
  } else if (default_output_changed.exchange(false, std::memory_order_acquire)) {
    move_to_default_output(heard, now);
    if (silent) heard = silent_heard_frame(now);
  }
  if (heard < last_heard) heard = last_heard;
  last_heard = heard;
  // What will be heard when this poll's picture is on the screen: it is shown at the next flip,
  // somewhere in the period after it, so half a period on from that the error is at most half one.
  if (silent) render_silently_through(heard + display_lead_frames);
  return module_stream_position_at(heard + display_lead_frames);
}

int32_t music_order_count(MusicHandle music) { return music ? module_order_count(module) : 0; }

int32_t music_pattern_rows(MusicHandle music, int32_t order) { return music ? module_pattern_rows(module, order) : -1; }

void music_free() {
  close_device();
  if (module) openmpt_module_destroy(module);
  module = nullptr;
  playing = false;
  silent = false;
  last_heard = 0;
}

const char* music_last_error() { return last_error; }
