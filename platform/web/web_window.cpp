// The window is the page: it queues keys and activation (a hidden tab or a window without focus
// is inactive); waiting for a message gives the browser its turn until one comes.
#include "platform/message_queue.h"
#include "platform/web/web_page.h"
#include "platform/window.h"

// Moves what the page has queued into the program's own queue.
void window_pump_events() {
  int32_t kind = 0;
  int32_t param = 0;
  while (web_page_take_message(&kind, &param)) {
    if (kind < 0 || kind > static_cast<int32_t>(MessageKind::close)) continue;  // not ours
    message_queue_post(window_queue, {static_cast<MessageKind>(kind), param});
  }
}

// Gives the browser its turn until the page queues something, or the time is up.
void window_sleep_until_event(int32_t timeout_ms) { web_page_wait_message(timeout_ms); }

bool window_create(const WindowDesc& desc) {
  web_page_window_shown(desc.title);
  message_queue_post(window_queue, {MessageKind::activate, 1});  // shown, and the active page
  return true;
}

void window_destroy() { window_queue.quit_posted = true; }

void window_show_cursor(bool shown) { web_page_show_cursor(shown ? 1 : 0); }

void window_message_box(const char* title, const char* text) { web_page_message_box(title, text); }

const char* window_last_error() { return ""; }

// The page already shows a start-up failure's line from standard error, on the page and the console.
void window_show_failure(const char*, const char*) {}
