// The program's window: a full-screen popup that owns the display and receives keys. Its window
// procedure turns messages into the platform's messages; the core's window procedure acts on them.
// While it is active the show keeps the display and the system on (no input comes during the
// show, and a laptop on battery turns its display off after a few minutes) and refuses the screen
// saver and the monitor's power-off.
#include <cstdio>

#include "platform/message_queue.h"
#include "platform/win32/win32_internal.h"
#include "platform/window.h"
#include "resources/resources.h"

namespace {

constexpr int popup_icon_control = 101;  // the dialog's error icon, set when it opens

HWND window = nullptr;
bool arrow_shown = false;  // the arrow only while inactive
char last_error[256] = "";
const char* popup_title = "";
const char* popup_message = "";

bool display_kept_on = false;

void keep_display_on(bool on) {
  display_kept_on = on;
  SetThreadExecutionState(on ? ES_CONTINUOUS | ES_DISPLAY_REQUIRED | ES_SYSTEM_REQUIRED : ES_CONTINUOUS);
}

void fail(const char* what) {
  char reason[200] = "";
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, GetLastError(), 0, reason,
                 sizeof reason, nullptr);
  std::snprintf(last_error, sizeof last_error, "%s: %s", what, reason);
}

LRESULT CALLBACK window_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CREATE: return 0;
    case WM_DESTROY:
      keep_display_on(false);
      window = nullptr;
      PostQuitMessage(0);
      return 0;
    case WM_ACTIVATEAPP:
      keep_display_on(wparam != 0);
      message_queue_post(window_queue, {MessageKind::activate, wparam ? 1 : 0});
      break;
    case WM_SYSCOMMAND:
      if (display_kept_on && ((wparam & 0xFFF0) == SC_SCREENSAVE || (wparam & 0xFFF0) == SC_MONITORPOWER)) return 0;
      break;
    case WM_SETCURSOR: SetCursor(arrow_shown ? LoadCursor(nullptr, IDC_ARROW) : nullptr); return TRUE;
    case WM_KEYDOWN: message_queue_post(window_queue, {MessageKind::key_down, static_cast<int32_t>(wparam)}); return 0;
    case WM_CLOSE:  // the core decides; it destroys the window
      message_queue_post(window_queue, {MessageKind::close, 0});
      return 0;
    default: break;
  }
  return DefWindowProcA(hwnd, message, wparam, lparam);
}

INT_PTR CALLBACK popup_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      SetWindowTextA(dialog, popup_title);
      SetDlgItemTextA(dialog, popup_text_control, popup_message);
      SendDlgItemMessageA(dialog, popup_icon_control, STM_SETICON,
                          reinterpret_cast<WPARAM>(LoadIcon(nullptr, IDI_ERROR)), 0);
      MessageBeep(MB_ICONERROR);
      return TRUE;  // the OK button takes the focus: Return closes the popup
    case WM_COMMAND:
      // OK, and the close box and Escape, which send the cancel command.
      if (LOWORD(wparam) == popup_ok_command || LOWORD(wparam) == IDCANCEL) {
        EndDialog(dialog, popup_ok_command);
        return TRUE;
      }
      return FALSE;
    default: return FALSE;
  }
}

}  // namespace

// The system's messages go to the window procedure; the quit message ends the queue.
void window_pump_events() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      window_queue.quit_posted = true;
      window_queue.quit_code = static_cast<int32_t>(msg.wParam);
      continue;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

void window_sleep_until_event(int32_t timeout_ms) {
  MsgWaitForMultipleObjects(0, nullptr, FALSE, timeout_ms < 0 ? INFINITE : static_cast<DWORD>(timeout_ms), QS_ALLINPUT);
}

HWND win32_main_window() { return window; }

HINSTANCE win32_instance() { return GetModuleHandleA(nullptr); }

bool window_create(const WindowDesc& desc) {
  const HINSTANCE instance = win32_instance();
  WNDCLASSEXA window_class = {};
  window_class.cbSize = sizeof window_class;
  window_class.style = CS_HREDRAW | CS_VREDRAW;
  window_class.lpfnWndProc = window_proc;
  window_class.hInstance = instance;
  window_class.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
  window_class.hCursor = LoadCursor(nullptr, IDC_ARROW);
  window_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  window_class.lpszClassName = desc.class_name;
  // The icon resource is made from the same pixels as desc.icon_argb.
  window_class.hIconSm = LoadIconA(instance, "iconbig");
  if (!RegisterClassExA(&window_class)) {
    fail("RegisterClassExA");
    return false;
  }
  window = CreateWindowExA(0, desc.class_name, desc.title, WS_POPUP, 0, 0, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                           nullptr, instance, nullptr);
  if (!window) {
    fail("CreateWindowExA");
    return false;
  }
  ShowWindow(window, SW_SHOWDEFAULT);  // the show command the program was started with
  UpdateWindow(window);
  return true;
}

void window_destroy() {
  if (window) DestroyWindow(window);  // its WM_DESTROY posts the quit message
}

void window_show_cursor(bool shown) {
  arrow_shown = shown;
  SetCursor(shown ? LoadCursor(nullptr, IDC_ARROW) : nullptr);
}

// The error popup: the "ddu_popupw" dialog resource, owned by the window; the owner is
// repainted afterwards.
void window_message_box(const char* title, const char* text) {
  popup_title = title;
  popup_message = text;
  win32_video_before_dialog();
  if (DialogBoxParamA(win32_instance(), popup_name, window, popup_proc, 0) <= 0)
    MessageBoxA(window, text, title, MB_OK | MB_ICONERROR);  // the resource could not be shown
  if (window) InvalidateRect(window, nullptr, TRUE);
}

// A program started from the desktop has no console: the start-up failure in a plain box.
void window_show_failure(const char* title, const char* text) {
  win32_video_before_dialog();
  MessageBoxA(window, text, title, MB_OK | MB_ICONERROR);
}

const char* window_last_error() { return last_error; }
