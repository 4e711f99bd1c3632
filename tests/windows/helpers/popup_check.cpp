// popup-check: the program's window, then the display's error reporter given a DirectDraw
// failure, through the real Win32 popup: the "ddu_popupw" dialog resource of this exe. Exit code
// 1 once the popup was shown and closed (the reporter's verdict), as the program's own would be.
#include "display/error_reporter.h"
#include "host/window_proc.h"
#include "platform/video.h"

int main() {
  if (!create_main_window()) return 2;
  constexpr int32_t unsupported = static_cast<int32_t>(0x80004001u);  // DDERR_UNSUPPORTED
  DisplayErrorReporter reporter;
  return reporter.check(unsupported);
}
