// Shared between the Win32 platform's files only.
#pragma once
#include <windows.h>

HWND win32_main_window();
HINSTANCE win32_instance();
// Before a dialog: shows the desktop's own surface, so the dialog is not hidden under a flip.
void win32_video_before_dialog();
// A function of a DLL loaded at run time rather than imported (one not every Windows has).
template <typename Call>
Call loaded_call(HMODULE library, const char* name) {
  return reinterpret_cast<Call>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}
