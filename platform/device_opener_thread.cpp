// The opener's jobs on a thread of their own, started with the first job and kept: a device that
// does not answer holds only this thread, never the picture or Escape.
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>

#include "platform/device_opener.h"
#include "platform/music_device.h"

namespace {

enum class Job : uint8_t { idle, closing, opening, ended };

struct Jobs {
  std::mutex mutex;
  std::condition_variable changed;
  Job job = Job::idle;
  bool queued = false;  // a job for the thread to take up
  bool open_after = false;
  bool abandoned = false;
  const MusicDevice* closing = nullptr;
  const MusicDevice* opened = nullptr;
  const char* trying = nullptr;  // the device whose open is under way
  char refusal[256] = "";
};

// Never destroyed: at exit the thread may still be inside a device that does not answer.
Jobs& jobs() {
  static Jobs* const shared = new Jobs;
  return *shared;
}

void run_jobs() {
  Jobs& s = jobs();
  char refusal[sizeof s.refusal];
  std::unique_lock<std::mutex> lock(s.mutex);
  for (;;) {
    s.changed.wait(lock, [&s] { return s.queued; });
    s.queued = false;
    const MusicDevice* old = s.closing;
    if (old) {
      lock.unlock();
      old->close();
      lock.lock();
    }
    s.closing = nullptr;
    s.job = Job::opening;
    s.changed.notify_all();
    for (int32_t i = 0; s.open_after && !s.opened && i < music_device_count; ++i) {
      s.trying = music_devices[i]->name;
      lock.unlock();
      const bool opened = music_devices[i]->open(refusal, sizeof refusal);
      lock.lock();
      if (opened) {
        s.opened = music_devices[i];
      } else {
        std::snprintf(s.refusal, sizeof s.refusal, "%s", refusal);
      }
    }
    s.trying = nullptr;
    if (s.abandoned && s.opened) {
      const MusicDevice* unwanted = s.opened;
      lock.unlock();
      unwanted->close();
      lock.lock();
      s.opened = nullptr;
    }
    s.job = s.abandoned ? Job::idle : Job::ended;
    s.abandoned = false;
    s.changed.notify_all();
  }
}

}  // namespace

void device_opener_begin(const MusicDevice* closing, bool open_after) {
  static bool thread_started = false;
  Jobs& s = jobs();
  {
    std::lock_guard<std::mutex> lock(s.mutex);
    s.closing = closing;
    s.open_after = open_after;
    s.opened = nullptr;
    s.refusal[0] = '\0';
    s.job = closing ? Job::closing : Job::opening;  // with nothing to close, the main thread may render at once
    s.queued = true;
  }
  if (!thread_started) std::thread(run_jobs).detach();
  thread_started = true;
  s.changed.notify_all();
}

bool device_opener_busy() {
  std::lock_guard<std::mutex> lock(jobs().mutex);
  return jobs().job != Job::idle;
}

bool device_opener_closed(int64_t wait_ns) {
  Jobs& s = jobs();
  std::unique_lock<std::mutex> lock(s.mutex);
  return s.changed.wait_for(lock, std::chrono::nanoseconds(wait_ns), [&s] { return s.job != Job::closing; });
}

bool device_opener_wait(int64_t wait_ns) {
  Jobs& s = jobs();
  std::unique_lock<std::mutex> lock(s.mutex);
  return s.changed.wait_for(lock, std::chrono::nanoseconds(wait_ns),
                            [&s] { return s.job == Job::ended || s.job == Job::idle; });
}

const MusicDevice* device_opener_take(char* error, size_t error_size) {
  Jobs& s = jobs();
  std::lock_guard<std::mutex> lock(s.mutex);
  const MusicDevice* opened = s.opened;
  if (!opened) std::snprintf(error, error_size, "%s", s.refusal);
  s.opened = nullptr;
  s.job = Job::idle;
  return opened;
}

namespace {

// "SDL audio: no answer within 3 seconds (before it, PulseAudio server: no answer)"; with no
// seconds, "no answer yet".
void describe_wait(const Jobs& s, char* error, size_t error_size, int32_t waited_seconds) {
  const char* waiting_for = s.job == Job::closing ? "closing the audio device"
                            : s.trying            ? s.trying
                                                  : "the audio device";
  char waited[48] = "no answer yet";
  if (waited_seconds > 0) std::snprintf(waited, sizeof waited, "no answer within %d seconds", waited_seconds);
  if (s.refusal[0]) {
    std::snprintf(error, error_size, "%s: %s (before it, %s)", waiting_for, waited, s.refusal);
  } else {
    std::snprintf(error, error_size, "%s: %s", waiting_for, waited);
  }
}

}  // namespace

void device_opener_waiting(char* error, size_t error_size, int32_t waited_seconds) {
  std::lock_guard<std::mutex> lock(jobs().mutex);
  describe_wait(jobs(), error, error_size, waited_seconds);
}

void device_opener_abandon(char* error, size_t error_size, int32_t waited_seconds) {
  Jobs& s = jobs();
  std::lock_guard<std::mutex> lock(s.mutex);
  if (s.job == Job::ended) {  // it ended after all: what it opened is not wanted
    if (s.opened) s.opened->close();
    s.opened = nullptr;
    s.job = Job::idle;
    return;
  }
  if (s.job == Job::idle) return;
  s.abandoned = true;
  describe_wait(s, error, error_size, waited_seconds);
}
