// A display failure into its documented text, shown in the modal popup.
#include "display/error_reporter.h"

#include <cstdio>

#include "display/error_texts.h"
#include "platform/video.h"
#include "platform/window.h"
#include "resources/resources.h"

namespace {

const char* popup_text = nullptr;
// The longest text is under 400 characters, a backend's reason under 256.
char popup_message[1024];

}  // namespace

const char* display_error_text(int32_t code) {
  for (const DisplayErrorText& entry : display_error_texts)
    if (entry.code == code) return entry.text;
  return nullptr;
}

int DisplayErrorReporter::check(int32_t result) {
  if (result == video_code::ok) return 0;  // the common case, every present
  const char* text = display_error_text(result);
  if (!text) return 0;  // a code without a documented text passes as success
  show_error_popup(text, video_last_error());
  return 1;
}

// The popup is the platform's modal message box: one OK button, whose identifier is the
// popup's OK command (popup_ok_command), the message in place of the text control.
void show_error_popup(const char* text, const char* reason) {
  popup_text = text;
  if (reason && *reason)
    std::snprintf(popup_message, sizeof popup_message, "%s\n\n%s", popup_text, reason);
  else
    std::snprintf(popup_message, sizeof popup_message, "%s", popup_text);
  window_message_box(window_title, popup_message);
  // No repaint is needed afterwards: the next present redraws the whole window.
}

const char* error_popup_text() { return popup_text; }
