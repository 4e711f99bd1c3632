// Reading the window's queue, the same on every platform: the backend's pump first, so that what
// the system holds for the program is seen.
#include "platform/message_queue.h"
#include "platform/window.h"

MessageQueue window_queue;

bool window_message_waiting() {
  window_pump_events();
  return message_queue_waiting(window_queue);
}

bool window_take_message(WindowMessage* message, int32_t* exit_code) {
  window_wait_message();  // like the system's own take, it waits while nothing is there
  return message_queue_take(window_queue, message, exit_code) == QueueTake::message;
}

void window_wait_message() {
  window_pump_events();
  while (!message_queue_waiting(window_queue)) {  // the system's events may mean nothing to us
    window_sleep_until_event(-1);
    window_pump_events();
  }
}

void window_wait_message_for(int32_t milliseconds) {
  window_pump_events();
  if (message_queue_waiting(window_queue)) return;
  window_sleep_until_event(milliseconds);
  window_pump_events();
}
