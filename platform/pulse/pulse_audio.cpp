// The module through the sound server's own stream (PulseAudio, or PipeWire's pipewire-pulse).
// Unlike a sound-card API, the server knows everything that lies between this stream and the
// listener: its own buffers, the sink's, a Bluetooth headset's delay. So the heard frame is the
// frames written less the stream's latency, which follows the stream when it moves to another
// sink. No server is ever started for us: where none answers, the next device is tried.
//
// libpulse's own interpolation smooths the rate over seconds and drifts after an underrun; so the
// server is asked for its timing at every poll, and only the few ms since its answer are carried
// on with the monotonic clock.
#include <pulse/pulseaudio.h>

#include <cstdio>

#include "platform/module_stream.h"
#include "platform/music_device.h"
#include "platform/steady_clock.h"

namespace {

constexpr pa_usec_t target_buffer_us = 40000;     // small, but a busy machine does not starve it
constexpr pa_usec_t answer_timeout_us = 1000000;  // a server that takes longer counts as absent
constexpr int64_t stall_ns = 1000000000;          // a timing request unanswered this long: stalled
constexpr pa_sample_spec stream_spec = {PA_SAMPLE_S16NE, static_cast<uint32_t>(module_sample_rate), 2};

pa_threaded_mainloop* loop = nullptr;
pa_context* context = nullptr;
pa_stream* stream = nullptr;
pa_operation* timing_update = nullptr;  // the latest request for fresh timing, until answered
bool timed_out = false;
// Loop thread only while started; set by start under the loop's lock.
bool pulling = false;
int64_t frames_written = 0;  // stream frames handed to the server, from start's first frame on
int64_t first_frame = 0;
// The latest timing answer: the frame heard when it came, and when (steady clock, ns); 0 before.
int64_t answer_frame = 0;
int64_t answer_ns = 0;
int64_t asked_ns = 0;  // when the pending request went out

void wake(pa_context*, void*) { pa_threaded_mainloop_signal(loop, 0); }
void wake_stream(pa_stream*, void*) { pa_threaded_mainloop_signal(loop, 0); }
void time_out(pa_mainloop_api*, pa_time_event*, const struct timeval*, void*) {
  timed_out = true;
  pa_threaded_mainloop_signal(loop, 0);
}

// Renders what the server asks for, straight into its own buffer.
void fill(pa_stream* s, size_t bytes) {
  if (!pulling) return;
  constexpr size_t frame_bytes = 2 * sizeof(int16_t);
  while (bytes >= frame_bytes) {
    void* data = nullptr;
    size_t size = bytes;
    if (pa_stream_begin_write(s, &data, &size) < 0 || size < frame_bytes) return;
    size -= size % frame_bytes;
    module_player_render(static_cast<int16_t*>(data), static_cast<int32_t>(size / frame_bytes));
    if (pa_stream_write(s, data, size, nullptr, 0, PA_SEEK_RELATIVE) < 0) return;
    frames_written += static_cast<int64_t>(size / frame_bytes);
    bytes -= size;
  }
}

void on_writable(pa_stream* s, size_t bytes, void*) { fill(s, bytes); }

// Every timing update, asked for or automatic: what is heard now is the frames written less the
// latency the server counts to the listener.
void on_timing(pa_stream* s, void*) {
  pa_usec_t latency = 0;
  int negative = 0;
  if (!pulling || pa_stream_get_latency(s, &latency, &negative) != 0) return;
  const auto latency_frames = static_cast<int64_t>(latency * module_sample_rate / 1000000);
  answer_frame = frames_written + (negative ? latency_frames : -latency_frames);
  answer_ns = steady_clock_ns();
}

void note(char* error, size_t error_size, const char* what) {
  const int code = context ? pa_context_errno(context) : PA_ERR_UNKNOWN;
  std::snprintf(error, error_size, "%s: %s", what, timed_out ? "no answer" : pa_strerror(code));
}

// Waits, holding the loop's lock, until `ready` says the object is ready (true) or failed (false).
template <typename Ready>
bool wait_until(Ready ready) {
  timed_out = false;
  pa_time_event* deadline = pa_context_rttime_new(context, pa_rtclock_now() + answer_timeout_us, time_out, nullptr);
  int state;
  while ((state = ready()) < 0 && !timed_out) pa_threaded_mainloop_wait(loop);
  pa_threaded_mainloop_get_api(loop)->time_free(deadline);
  return state > 0;
}

int context_ready() {
  const pa_context_state_t state = pa_context_get_state(context);
  if (state == PA_CONTEXT_READY) return 1;
  return PA_CONTEXT_IS_GOOD(state) ? -1 : 0;
}

int stream_ready() {
  const pa_stream_state_t state = pa_stream_get_state(stream);
  if (state == PA_STREAM_READY) return 1;
  return PA_STREAM_IS_GOOD(state) ? -1 : 0;
}

void pulse_close() {
  if (!loop) return;
  pa_threaded_mainloop_lock(loop);
  pulling = false;
  if (timing_update) pa_operation_unref(timing_update);
  timing_update = nullptr;
  if (stream) {
    pa_stream_set_write_callback(stream, nullptr, nullptr);
    pa_stream_disconnect(stream);
    pa_stream_unref(stream);
  }
  if (context) {
    pa_context_disconnect(context);
    pa_context_unref(context);
  }
  stream = nullptr;
  context = nullptr;
  pa_threaded_mainloop_unlock(loop);
  pa_threaded_mainloop_stop(loop);
  pa_threaded_mainloop_free(loop);
  loop = nullptr;
}

bool pulse_open(char* error, size_t error_size) {
  loop = pa_threaded_mainloop_new();
  if (!loop || pa_threaded_mainloop_start(loop) < 0) {
    std::snprintf(error, error_size, "PulseAudio: no main loop");
    if (loop) pa_threaded_mainloop_free(loop);
    loop = nullptr;
    return false;
  }
  pa_threaded_mainloop_lock(loop);
  pulling = false;
  context = pa_context_new(pa_threaded_mainloop_get_api(loop), "Tarnwick");
  bool ok = context != nullptr;
  if (ok) {
    pa_context_set_state_callback(context, wake, nullptr);
    // Never start a server: on a machine without one the next device plays.
    ok = pa_context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0 && wait_until(context_ready);
    if (!ok) note(error, error_size, "PulseAudio server");
  }
  if (ok) {
    pa_buffer_attr attr = {};
    attr.maxlength = static_cast<uint32_t>(-1);
    attr.tlength = static_cast<uint32_t>(pa_usec_to_bytes(target_buffer_us, &stream_spec));
    attr.prebuf = static_cast<uint32_t>(-1);
    attr.minreq = static_cast<uint32_t>(-1);
    attr.fragsize = static_cast<uint32_t>(-1);
    stream = pa_stream_new(context, "Tarnwick", &stream_spec, nullptr);
    ok = stream != nullptr;
    if (ok) {
      pa_stream_set_state_callback(stream, wake_stream, nullptr);
      pa_stream_set_write_callback(stream, on_writable, nullptr);
      pa_stream_set_latency_update_callback(stream, on_timing, nullptr);
      const auto flags = static_cast<pa_stream_flags_t>(PA_STREAM_START_CORKED | PA_STREAM_ADJUST_LATENCY |
                                                        PA_STREAM_AUTO_TIMING_UPDATE);
      ok = pa_stream_connect_playback(stream, nullptr, &attr, flags, nullptr, nullptr) >= 0 && wait_until(stream_ready);
    }
    if (!ok) note(error, error_size, "PulseAudio stream");
  }
  pa_threaded_mainloop_unlock(loop);
  if (!ok) pulse_close();
  return ok;
}

void pulse_start(uint64_t first) {
  pa_threaded_mainloop_lock(loop);
  first_frame = static_cast<int64_t>(first);
  frames_written = first_frame;
  answer_ns = 0;
  asked_ns = steady_clock_ns();
  pulling = true;
  const size_t writable = pa_stream_writable_size(stream);
  if (writable != static_cast<size_t>(-1)) fill(stream, writable);
  pa_operation* uncork = pa_stream_cork(stream, 0, nullptr, nullptr);
  if (uncork) pa_operation_unref(uncork);
  pa_threaded_mainloop_unlock(loop);
}

bool pulse_heard_frame(int64_t* frame) {
  const int64_t now = steady_clock_ns();
  pa_threaded_mainloop_lock(loop);
  bool ok = context_ready() > 0 && stream_ready() > 0;
  if (ok) {
    // Nothing is heard before the first answer. After an underrun the server plays on past what
    // was written and drops what comes late, so the heard frame may run ahead of the written.
    *frame = answer_ns == 0 ? first_frame : answer_frame + (now - answer_ns) * module_sample_rate / 1000000000;
    if (timing_update && pa_operation_get_state(timing_update) != PA_OPERATION_RUNNING) {
      pa_operation_unref(timing_update);
      timing_update = nullptr;
    }
    if (!timing_update) {
      timing_update = pa_stream_update_timing_info(stream, nullptr, nullptr);
      asked_ns = now;
    }
    // A server that leaves a request unanswered this long is as good as gone.
    ok = now - asked_ns < stall_ns;
  }
  pa_threaded_mainloop_unlock(loop);
  return ok;
}

}  // namespace

extern const MusicDevice pulse_audio = {"PulseAudio", pulse_open, pulse_start, pulse_close, pulse_heard_frame};
