// The window's message queue as every platform keeps it: a fixed ring, then the quit message.
#pragma once
#include "platform/window.h"

struct MessageQueue {
  static constexpr int32_t capacity = 64;
  WindowMessage items[capacity];
  int32_t head = 0;
  int32_t count = 0;
  bool quit_posted = false;
  int32_t quit_code = 0;
};

inline void message_queue_post(MessageQueue& queue, const WindowMessage& message) {
  if (queue.count == MessageQueue::capacity) return;  // a full queue drops, as a real one would
  queue.items[(queue.head + queue.count) % MessageQueue::capacity] = message;
  ++queue.count;
}

inline bool message_queue_waiting(const MessageQueue& queue) { return queue.quit_posted || queue.count > 0; }

enum class QueueTake : uint8_t { message, quit, empty };

// Takes the next message; the quit message comes after all others and stays.
inline QueueTake message_queue_take(MessageQueue& queue, WindowMessage* message, int32_t* exit_code) {
  if (queue.count > 0) {
    *message = queue.items[queue.head];
    queue.head = (queue.head + 1) % MessageQueue::capacity;
    --queue.count;
    return QueueTake::message;
  }
  if (queue.quit_posted) {
    *exit_code = queue.quit_code;
    return QueueTake::quit;
  }
  return QueueTake::empty;
}

// The program's one queue. The backend fills it from the system's events and posts the quit
// message; window_message_waiting, window_take_message and window_wait_message
// (platform/window_queue.cpp) read it, the same on every platform, through two hooks of the
// backend's:
extern MessageQueue window_queue;
// Moves whatever the system has for the program into window_queue, without waiting.
void window_pump_events();
// Sleeps until the system has something for the program (it may post it on the way), or at most
// `timeout_ms` (negative: no limit).
void window_sleep_until_event(int32_t timeout_ms);
