// The program's one window: it owns the screen, delivers keys and activation, shows popups.
#pragma once
#include <cstdint>

enum class MessageKind : uint8_t {
  activate,  // param: non-zero when the program became the active application
  key_down,  // param: key code (27 is Escape)
  close,     // the user asked to close the window
};

struct WindowMessage {
  MessageKind kind;
  int32_t param;
};

constexpr int32_t key_escape = 27;

struct WindowDesc {
  const char* class_name;  // application name the desktop groups the window under
  const char* title;
  const uint32_t* icon_argb;  // icon_size x icon_size pixels, 0xAARRGGBB
  int32_t icon_size;
};

// Creates and shows the window; its first message is its activation.
bool window_create(const WindowDesc& desc);
// True when a message (or the quit message) is waiting; does not remove it.
bool window_message_waiting();
// Removes the next message, waiting for one. Returns false for the quit message and stores its
// exit code.
bool window_take_message(WindowMessage* message, int32_t* exit_code);
// Sleeps until a message arrives.
void window_wait_message();
// Sleeps until a message arrives or `milliseconds` have passed.
void window_wait_message_for(int32_t milliseconds);
// Destroys the window; the quit message with code 0 follows.
void window_destroy();
void window_show_cursor(bool shown);
// A modal popup with one OK button; returns when it is closed.
void window_message_box(const char* title, const char* text);
// A start-up failure, already on standard error, shown where a user without a console sees
// it too (nothing where standard error is always seen).
void window_show_failure(const char* title, const char* text);
const char* window_last_error();
