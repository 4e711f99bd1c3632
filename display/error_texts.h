// The documented text of every DirectDraw result code the display can name.
#pragma once
#include <cstdint>

struct DisplayErrorText {
  const char* name;  // the code's DirectDraw name, e.g. "DDERR_INVALIDMODE"
  int32_t code;      // its 32-bit result value
  const char* text;  // shown as is (trailing space included); null for DD_OK
};

// DD_OK first, then the failures in ascending order of their DirectDraw number, the five
// general COM codes last.
constexpr int32_t display_error_text_count = 118;
extern const DisplayErrorText display_error_texts[display_error_text_count];

// The text of a failure the table knows; null for DD_OK and for codes it does not know.
const char* display_error_text(int32_t code);
