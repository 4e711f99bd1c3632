#pragma once
// The window's message queue as every platform keeps it: a fixed ring, then the quit message.
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

inline bool message_queue_waiting(const MessageQueue& queue) {
  return queue.quit_posted || queue.count > 0;
}

// Takes the next message; false for the quit message, which comes after all others.
inline bool message_queue_take(MessageQueue& queue, WindowMessage* message, int32_t* exit_code) {
  if (queue.count > 0) {
    *message = queue.items[queue.head];
    queue.head = (queue.head + 1) % MessageQueue::capacity;
    --queue.count;
    return true;
  }
  if (queue.quit_posted) {
    *exit_code = queue.quit_code;
    return false;
  }
  *message = {MessageKind::key_down, 0};  // nothing waiting: a key that means nothing
  return true;
}
