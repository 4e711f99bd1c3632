// Messages come from a script instead of a user; waiting jumps virtual time to the next one.
#include <cstdio>
#include <cstdlib>

#include "platform/headless/headless.h"
#include "platform/headless/headless_internal.h"
#include "platform/message_queue.h"
#include "platform/window.h"

namespace {

bool fail_window = false;

bool inactive_scheduled = false;
bool inactive_begun = false;
uint64_t inactive_from_ns = 0;
uint64_t inactive_to_ns = 0;

std::vector<HeadlessPopup> popups;
std::vector<HeadlessPopup> failures;

void check_schedule() {
  if (!inactive_scheduled || inactive_begun || !headless_music_started()) return;
  if (headless_time_ns() - headless_music_start_ns() >= inactive_from_ns) {
    inactive_begun = true;
    headless_post_message({MessageKind::activate, 0});
  }
}

}  // namespace

void headless_post_message(const WindowMessage& message) { message_queue_post(window_queue, message); }

void headless_set_inactive(double from_seconds, double to_seconds) {
  inactive_scheduled = true;
  inactive_begun = false;
  inactive_from_ns = static_cast<uint64_t>(from_seconds * 1e9);
  inactive_to_ns = static_cast<uint64_t>(to_seconds * 1e9);
}

const std::vector<HeadlessPopup>& headless_popups() { return popups; }
const std::vector<HeadlessPopup>& headless_failures() { return failures; }

void headless_fail_window(bool fail) { fail_window = fail; }

bool window_create(const WindowDesc&) {
  if (fail_window) return false;
  headless_post_message({MessageKind::activate, 1});  // shown and active
  return true;
}

void window_pump_events() { check_schedule(); }

// Waiting moves virtual time on, to the end of the scheduled inactivity or by the timeout.
void window_sleep_until_event(int32_t timeout_ms) {
  if (inactive_begun && headless_music_started()) {
    const uint64_t wake = headless_music_start_ns() + inactive_to_ns;
    const uint64_t timeout_ns = static_cast<uint64_t>(timeout_ms) * 1000000;
    if (timeout_ms >= 0 && wake > headless_time_ns() + timeout_ns) {
      headless_advance_clock(timeout_ns);
      return;
    }
    if (wake > headless_time_ns()) headless_advance_clock(wake - headless_time_ns());
    inactive_scheduled = false;
    headless_post_message({MessageKind::activate, 1});
    return;
  }
  // Nothing is scheduled that could ever arrive: a real program would sleep for good.
  std::fprintf(stderr, "headless: waiting for a message that never comes\n");
  std::exit(70);
}

void window_destroy() {
  window_queue.quit_posted = true;
  window_queue.quit_code = 0;
}

void window_show_cursor(bool) {}

void window_message_box(const char* title, const char* text) {
  popups.push_back({title ? title : "", text ? text : ""});
}

void window_show_failure(const char* title, const char* text) { failures.push_back({title, text}); }

const char* window_last_error() { return fail_window ? "the headless window was told to fail" : ""; }

void headless_reset_window() {
  window_queue = MessageQueue{};
  fail_window = false;
  inactive_scheduled = false;
  inactive_begun = false;
  popups.clear();
  failures.clear();
}
