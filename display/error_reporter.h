#pragma once
// Turns display failures into a modal popup with the failure's documented text.
#include <cstdint>

class DisplayErrorReporter {
 public:
  DisplayErrorReporter() = default;
  virtual ~DisplayErrorReporter() = default;

  // 0 to go on (success or a code without a text); 1 after the popup for a known failure.
  int check(int32_t result);
};

// Shows text in the modal error popup, titled with the window's title.
void show_error_popup(const char* text);
