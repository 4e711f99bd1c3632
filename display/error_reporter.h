// Turns display failures into a modal popup with the failure's documented text.
#pragma once
#include <cstdint>

class DisplayErrorReporter {
 public:
  DisplayErrorReporter() = default;
  virtual ~DisplayErrorReporter() = default;

  // 0 to go on (success, or a code without a text); 1 after the popup for a known failure,
  // which shows the code's text and then the backend's own reason.
  int check(int32_t result);
};

// Shows text in the modal error popup ("ddu_popupw"), titled with the window's title; a
// non-empty reason follows on its own line. Returns when the popup's OK closes it.
void show_error_popup(const char* text, const char* reason = nullptr);
// The documented text of the popup shown last (null before the first).
const char* error_popup_text();
