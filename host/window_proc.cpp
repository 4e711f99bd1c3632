// The main window: its creation and its procedure, which follows activation and Escape.
#include "host/window_proc.h"

#include "host/show_state.h"
#include "resources/resources.h"

bool create_main_window() {
  const WindowDesc desc = {window_class_name, window_title, iconbig, iconbig_size};
  return window_create(desc);
}

void main_window_proc(const WindowMessage& message) {
  switch (message.kind) {
    case MessageKind::activate:
      app_active = message.param;
      cursor_shown = message.param == 0 ? 1 : 0;
      window_show_cursor(cursor_shown != 0);
      break;
    case MessageKind::key_down:
      if (message.param == key_escape) window_destroy();
      break;
    case MessageKind::close:  // closing a window destroys it
      window_destroy();
      break;
  }
}
