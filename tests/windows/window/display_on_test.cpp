// The Windows window keeps the display on while the show is active, and only then: the thread's
// execution state as the system holds it (SetThreadExecutionState gives back the state it
// replaces), through the real window procedure.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/window.h"

namespace {

constexpr EXECUTION_STATE kept_on = ES_CONTINUOUS | ES_DISPLAY_REQUIRED | ES_SYSTEM_REQUIRED;

// The state the window left; put back as it was.
EXECUTION_STATE state_now() {
  const EXECUTION_STATE state = SetThreadExecutionState(ES_CONTINUOUS);
  SetThreadExecutionState(state);
  return state;
}

TEST(Win32Window, TheDisplayIsKeptOnWhileActiveAndLetGoWhenInactiveAndAtTheEnd) {
  const uint32_t icon[16 * 16] = {};
  ASSERT_TRUE(window_create({"display-on-test", "display on test", icon, 16}));
  const HWND window = FindWindowA("display-on-test", nullptr);
  ASSERT_NE(window, nullptr);

  SendMessageA(window, WM_ACTIVATEAPP, TRUE, 0);
  EXPECT_EQ(state_now() & kept_on, kept_on);

  SendMessageA(window, WM_ACTIVATEAPP, FALSE, 0);
  EXPECT_EQ(state_now() & (ES_DISPLAY_REQUIRED | ES_SYSTEM_REQUIRED), 0u);
  SendMessageA(window, WM_ACTIVATEAPP, TRUE, 0);
  EXPECT_EQ(state_now() & kept_on, kept_on);

  window_destroy();  // the show's end
  EXPECT_EQ(state_now() & (ES_DISPLAY_REQUIRED | ES_SYSTEM_REQUIRED), 0u);
}

}  // namespace
