// The window's queue every backend fills: order, the quit message last, a full ring, nothing.
#include <gtest/gtest.h>

#include "platform/message_queue.h"

namespace {

TEST(MessageQueue, HandsMessagesOnInOrderThenQuitThenNothingIsInvented) {
  MessageQueue queue;
  WindowMessage message = {MessageKind::close, -1};
  int32_t exit_code = -1;
  EXPECT_FALSE(message_queue_waiting(queue));
  EXPECT_EQ(message_queue_take(queue, &message, &exit_code), QueueTake::empty);
  EXPECT_EQ(message.kind, MessageKind::close);  // untouched
  EXPECT_EQ(message.param, -1);
  EXPECT_EQ(exit_code, -1);

  // A full ring drops what comes after, and the quit message waits behind what it holds, wrapped
  // round its end.
  for (int32_t i = 0; i < 10; ++i) message_queue_post(queue, {MessageKind::activate, i});
  for (int32_t i = 0; i < 10; ++i) message_queue_take(queue, &message, &exit_code);
  for (int32_t i = 0; i < MessageQueue::capacity + 3; ++i) message_queue_post(queue, {MessageKind::key_down, i});
  queue.quit_posted = true;
  queue.quit_code = 7;
  for (int32_t i = 0; i < MessageQueue::capacity; ++i) {
    ASSERT_EQ(message_queue_take(queue, &message, &exit_code), QueueTake::message);
    EXPECT_EQ(message.kind, MessageKind::key_down);
    EXPECT_EQ(message.param, i);
  }
  EXPECT_EQ(exit_code, -1);
  EXPECT_TRUE(message_queue_waiting(queue));
  EXPECT_EQ(message_queue_take(queue, &message, &exit_code), QueueTake::quit);
  EXPECT_EQ(exit_code, 7);
  EXPECT_EQ(message_queue_take(queue, &message, &exit_code), QueueTake::quit);  // it stays
}

}  // namespace
