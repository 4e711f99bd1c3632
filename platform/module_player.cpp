// The music front end of every platform: one libopenmpt module, rendered through the stamp ring by
// whichever device plays it, and the position of the frame being heard now.
//
// A device can go away mid-show (a headset unplugged, a sound server restarted or stalled). The
// module then goes on from the frame it had reached: through the next device that opens, or,
// while none does, silently at the pace of the clock, rendered by the main thread's polls a
// bounded slice at a time so that the script still reaches its end. Closing the old device and
// opening the list again is the opener's work (platform/device_opener.h), so a device that does
// not answer never holds the main thread; the list is tried again every 2 seconds. Each change
// is one line on standard error. The heard frame never goes back, across every change.
#include <libopenmpt/libopenmpt.h>

#include <atomic>
#include <cstdio>
#include <cstring>

#include "platform/counter.h"
#include "platform/device_opener.h"
#include "platform/module_file.h"
#include "platform/module_player.h"
#include "platform/module_stream.h"
#include "platform/music.h"
#include "platform/music_device.h"

namespace {

constexpr int64_t ns_per_second = 1000000000;
constexpr int64_t retry_interval_ns = 2 * ns_per_second;
constexpr int32_t start_up_wait_seconds = 3;              // what a viewer waits at most for a device to answer
constexpr int64_t same_poll_wait_ns = 2000000;            // a device that opens at once plays in the same poll
constexpr int64_t silence_notice_ns = ns_per_second / 2;  // a reopening this long is told as silence
constexpr int32_t silent_chunk_frames = 1024;
// Silence is rendered at most this much per poll (a few ms), and the silent clock runs at most
// this far ahead of what was rendered: time the process did not run beyond it is not played.
constexpr int64_t silent_slice_frames = 16384;
constexpr int64_t silent_lag_frames = module_sample_rate;

openmpt_module* module = nullptr;     // the device's rendering thread reads it while started
const MusicDevice* device = nullptr;  // the open device; none while silent
bool started = false;                 // the device pulls sound
bool playing = false;
char last_error[256] = "";

// Without a device the heard frame runs on from silent_frame at silent_since_ns, a base that
// moves on by whole seconds so that the arithmetic stays small however long the silence lasts.
bool silent = false;
int64_t silent_since_ns = 0;
int64_t silent_frame = 0;
int64_t next_retry_ns = 0;
int64_t last_heard = 0;
int16_t silent_buffer[silent_chunk_frames * 2];

// The opener has the old device and the list; what to say when it finds one, and whether to say
// that none opened.
bool reopening = false;
int64_t reopen_began_ns = 0;
const char* back_line = nullptr;
bool say_silence = false;

int64_t display_lead_frames = 0;  // to the screen and half a display period on, where there is one
std::atomic<bool> default_output_changed{false};

bool position_forced = false;
uint32_t forced_position = 0;

void set_error(const char* text) { std::snprintf(last_error, sizeof last_error, "%s", text); }

// One line on standard error, out at once: where it is a file, Windows' C library would hold it.
void say(const char* line) {
  std::fputs(line, stderr);
  std::fflush(stderr);
}

int64_t now_ns() {
  const int64_t frequency = counter_frequency();
  if (frequency <= 0) return 0;
  const int64_t count = counter_now();
  return count / frequency * ns_per_second + count % frequency * ns_per_second / frequency;
}

// Opens the list on the opener and waits a viewer's patience for it: a device that does not
// answer by then fails the open, with the reason.
bool open_a_device() {
  device = nullptr;
  if (!device_opener_wait(start_up_wait_seconds * ns_per_second)) {  // one abandoned earlier
    set_error("the audio device before still does not answer");
    return false;
  }
  device_opener_begin(nullptr, true);
  if (!device_opener_wait(start_up_wait_seconds * ns_per_second)) {
    device_opener_abandon(last_error, sizeof last_error, start_up_wait_seconds);
    return false;
  }
  device = device_opener_take(last_error, sizeof last_error);
  return device != nullptr;
}

void close_device() {
  if (device) device->close();
  device = nullptr;
  started = false;
}

// At the end the device is closed by the opener too: one that does not answer within a second
// is left behind, and with it the module, which its thread may still render. False then. The
// reason of the last failure stays: a failing start-up frees the music before it says why.
bool close_for_good() {
  char unused[sizeof last_error];
  const bool was_reopening = reopening;
  if (reopening) device_opener_abandon(unused, sizeof unused, 0);
  if (device) device_opener_begin(device, false);
  const bool had_device = reopening || device;
  device = nullptr;
  started = false;
  reopening = false;
  if (!had_device) return true;
  if (!device_opener_closed(ns_per_second)) {
    if (!was_reopening) device_opener_abandon(unused, sizeof unused, 1);
    return false;
  }
  if (was_reopening) return true;  // the rest of that job ends by itself
  if (device_opener_wait(ns_per_second)) {
    device_opener_take(unused, sizeof unused);
  } else {
    device_opener_abandon(unused, sizeof unused, 1);
  }
  return true;
}

int64_t silent_heard_frame(int64_t now) {
  const int64_t seconds = (now - silent_since_ns) / ns_per_second;
  silent_since_ns += seconds * ns_per_second;
  silent_frame += seconds * module_sample_rate;
  return silent_frame + (now - silent_since_ns) * module_sample_rate / ns_per_second;
}

// With no device the main thread renders, toward the frame heard now, at most a slice a poll;
// once the old device is closed, since until then its thread may still render. Returns the last
// frame rendered, the furthest that can be heard.
int64_t render_silently_toward(int64_t heard) {
  const auto rendered = [] { return static_cast<int64_t>(module_stream_frames_rendered()); };
  if (reopening && !device_opener_closed(0)) return rendered() - 1;
  if (heard - rendered() > silent_lag_frames) silent_frame -= heard - rendered() - silent_lag_frames;
  const int64_t end = heard + 1 < rendered() + silent_slice_frames ? heard + 1 : rendered() + silent_slice_frames;
  while (rendered() < end) {
    const int64_t left = end - rendered();
    module_player_render(silent_buffer, left < silent_chunk_frames ? static_cast<int32_t>(left) : silent_chunk_frames);
  }
  return rendered() - 1;
}

void go_silent(int64_t heard, int64_t now) {
  if (silent) return;
  silent = true;
  silent_since_ns = now;
  silent_frame = heard > last_heard ? heard : last_heard;
}

void say_playing_silently() {
  say_silence = false;
  std::fprintf(stderr, "No audio device (%s): playing silently, trying again every %d seconds\n", last_error,
               static_cast<int>(retry_interval_ns / ns_per_second));
  std::fflush(stderr);
}

// Whatever opened is taken; the stream goes on from the frames rendered.
void take_reopened(int64_t now) {
  reopening = false;
  const MusicDevice* opened = device_opener_take(last_error, sizeof last_error);
  if (!opened) {
    if (say_silence) say_playing_silently();
    return;
  }
  const int64_t heard = render_silently_toward(silent_heard_frame(now));
  if (heard > last_heard) last_heard = heard;  // the device goes on where the silence ended
  device = opened;
  device->start(module_stream_frames_rendered());
  started = true;
  silent = false;
  say_silence = false;
  say(back_line);
}

// The device (if any) goes to the opener with the list; the heard frame follows the clock until
// a device opens. The flag is cleared first: whatever opens now is the default, and a change
// that comes while it opens is followed at a later poll.
void reopen(int64_t heard, int64_t now, const char* back, bool tell_silence) {
  default_output_changed.store(false, std::memory_order_relaxed);
  const MusicDevice* old = started ? device : nullptr;
  device = nullptr;
  started = false;
  go_silent(heard, now);
  back_line = back;
  say_silence = tell_silence;
  reopening = true;
  reopen_began_ns = now;
  next_retry_ns = now + retry_interval_ns;
  device_opener_begin(old, true);
  if (device_opener_wait(same_poll_wait_ns)) take_reopened(now);
}

// Where the listener is now, after looking after the device: its loss, the retry, a new default.
int64_t follow_output(int64_t now) {
  int64_t heard = last_heard;
  if (reopening && device_opener_wait(0)) take_reopened(now);
  // A device that takes this long to answer may never: the viewer is told the music is silent.
  if (reopening && say_silence && now - reopen_began_ns >= silence_notice_ns) {
    device_opener_waiting(last_error, sizeof last_error, 0);
    say_playing_silently();
  }
  if (silent) {
    // A changed default output may be one that opens: tried at once.
    const bool retry = now >= next_retry_ns || default_output_changed.load(std::memory_order_acquire);
    if (!reopening && retry && !device_opener_busy())
      reopen(heard, now, "Audio device back: the music plays on\n", false);
  } else if (!device->heard_frame(&heard)) {
    say("Audio device lost: opening the default output again\n");
    reopen(heard, now, "Audio device back: the music plays on\n", true);
  } else if (default_output_changed.load(std::memory_order_acquire)) {
    reopen(heard, now, "Default audio output changed: the music plays on through it\n", true);
  }
  if (silent) heard = silent_heard_frame(now);
  if (heard < last_heard) heard = last_heard;
  return heard;
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

void module_player_set_display_rate(int32_t refresh_hz, int32_t quarter_periods_to_screen) {
  const int64_t quarters = int64_t{quarter_periods_to_screen} + 2;
  display_lead_frames = module_sample_rate * quarters / (4 * int64_t{refresh_hz > 0 ? refresh_hz : 60});
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
  int64_t heard = follow_output(now_ns());
  // What will be heard when this poll's picture is on the screen: it is shown at the next flip,
  // somewhere in the period after it, so half a period on from that the error is at most half one.
  if (silent) {
    const int64_t rendered = render_silently_toward(heard + display_lead_frames) - display_lead_frames;
    if (heard > rendered) heard = rendered > last_heard ? rendered : last_heard;
  }
  last_heard = heard;
  return module_stream_position_at(heard + display_lead_frames);
}

void music_look_after(MusicHandle) {
  if (position_forced || !playing) return;
  const int64_t heard = follow_output(now_ns());
  if (silent) render_silently_toward(heard);
}

int32_t music_order_count(MusicHandle music) { return music ? module_order_count(module) : 0; }

int32_t music_pattern_rows(MusicHandle music, int32_t order) { return music ? module_pattern_rows(module, order) : -1; }

void music_free() {
  if (close_for_good() && module) openmpt_module_destroy(module);
  module = nullptr;
  playing = false;
  silent = false;
  last_heard = 0;
}

const char* music_last_error() { return last_error; }
