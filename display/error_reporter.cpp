#include "display/error_reporter.h"

#include "platform/video.h"
#include "platform/window.h"
#include "resources/resources.h"

namespace {
const char* popup_text = nullptr;
}

int DisplayErrorReporter::check(int32_t result) {
  if (result == video_code::ok) return 0;
  show_error_popup(video_last_error());
  return 1;
}

void show_error_popup(const char* text) {
  popup_text = text;
  window_message_box(window_title, popup_text);
}
