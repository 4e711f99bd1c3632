// An emulated palettized mode, where the system offers no real one: the display is not
// switched. Each flip stretches the 8-bit frame onto the window, which covers its monitor, with
// StretchDIBits of a DIB whose colour table is the palette: letter-boxed at 4:3, nearest
// neighbour, black around. The flip then waits for the compositor (DwmFlush, where it runs) or
// sleeps out the display period.
#include <chrono>
#include <cstdio>

#include "platform/emulated_modes.h"
#include "platform/frame_pacer.h"
#include "platform/letterbox.h"
#include "platform/module_player.h"
#include "platform/win32/presenter.h"
#include "platform/win32/win32_internal.h"

namespace {

using clock_type = std::chrono::steady_clock;
using DwmFlushCall = HRESULT(WINAPI*)();
using DwmIsCompositionEnabledCall = HRESULT(WINAPI*)(BOOL*);

struct PaletteDib {
  BITMAPINFOHEADER header;
  RGBQUAD colours[256];
};

PaletteDib dib;
RECT client = {};  // the window's client area the box was placed in
PictureBox box = {};
FramePacer pacer;
DwmFlushCall dwm_flush = nullptr;  // only while the compositor runs and its flush waits
int flushes = 0;                   // since flushes_since
clock_type::time_point flushes_since;
char last_error[256] = "";

VideoResult fail(VideoResult code, const char* what) {
  std::snprintf(last_error, sizeof last_error, "%s failed (error %lu)", what, GetLastError());
  return code;
}

// dwmapi is loaded here, not imported: Windows XP and some Wine prefixes have none.
void find_compositor() {
  dwm_flush = nullptr;
  const HMODULE dwmapi = LoadLibraryA("dwmapi.dll");
  if (!dwmapi) return;
  const auto composition_enabled = loaded_call<DwmIsCompositionEnabledCall>(dwmapi, "DwmIsCompositionEnabled");
  BOOL enabled = FALSE;
  if (composition_enabled && SUCCEEDED(composition_enabled(&enabled)) && enabled)
    dwm_flush = loaded_call<DwmFlushCall>(dwmapi, "DwmFlush");
}

int refresh_rate() {
  DEVMODEA mode = {};
  mode.dmSize = sizeof mode;
  if (!EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode)) return 0;
  return mode.dmDisplayFrequency > 1 ? static_cast<int>(mode.dmDisplayFrequency) : 0;  // 0 and 1: the default
}

// The window covers its monitor, in real pixels (the program is DPI aware).
VideoResult cover_monitor(HWND window) {
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof monitor;
  if (!GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor))
    return fail(video_code::generic, "GetMonitorInfo");
  const RECT& area = monitor.rcMonitor;
  SetWindowLongPtrA(window, GWL_STYLE, WS_POPUP | WS_VISIBLE);
  if (!SetWindowPos(window, HWND_TOP, area.left, area.top, area.right - area.left, area.bottom - area.top,
                    SWP_FRAMECHANGED | SWP_SHOWWINDOW))
    return fail(video_code::generic, "SetWindowPos");
  InvalidateRect(window, nullptr, TRUE);  // black all over before the first picture
  return video_code::ok;
}

// Black outside the box: the strips left and right, or above and below.
void paint_borders(HDC dc) {
  const HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  const RECT strips[] = {
      {client.left, client.top, client.left + box.x, client.bottom},
      {client.left + box.x + box.w, client.top, client.right, client.bottom},
      {client.left, client.top, client.right, client.top + box.y},
      {client.left, client.top + box.y + box.h, client.right, client.bottom},
  };
  for (const RECT& strip : strips)
    if (strip.right > strip.left && strip.bottom > strip.top) FillRect(dc, &strip, black);
}

// DwmFlush waits for the compositor's next frame. One that lets more flips through than the
// display shows (a stub) leaves the pacing to the frame pacer from then on. A failed flush
// (the compositor off) is paced by the frame pacer too.
void wait_for_display() {
  constexpr int checked_flips = 8;  // few, so that a stub is found before the splash has faded in
  if (dwm_flush && SUCCEEDED(dwm_flush())) {
    if (++flushes < checked_flips) return;
    const clock_type::time_point now = clock_type::now();
    const bool waits = now - flushes_since >= pacer.period * (checked_flips * 3 / 4);
    flushes = 0;
    flushes_since = now;
    if (waits) return;
    dwm_flush = nullptr;
  }
  frame_pacer_wait(pacer);
}

VideoResult gdi_set_mode(uint32_t w, uint32_t h, uint32_t bits_per_pixel) {
  if (const VideoResult code = emulated_mode_check(w, h, bits_per_pixel, last_error, sizeof last_error)) return code;
  const HWND window = win32_main_window();
  if (!window) return fail(video_code::no_window, "no window to show the display in");
  dib = {};
  dib.header.biSize = sizeof dib.header;
  dib.header.biWidth = static_cast<LONG>(w);
  dib.header.biHeight = -static_cast<LONG>(h);  // top row first, as the frame is
  dib.header.biPlanes = 1;
  dib.header.biBitCount = 8;
  dib.header.biCompression = BI_RGB;
  dib.header.biClrUsed = 256;
  client = {};
  find_compositor();
  frame_pacer_start(pacer, refresh_rate(), clock_type::now());
  module_player_set_display_rate(refresh_rate());
  flushes = 0;
  flushes_since = clock_type::now();
  return cover_monitor(window);
}

VideoResult gdi_create_surfaces() { return video_code::ok; }

void gdi_set_palette(const PALETTEENTRY entries[256]) {
  for (int i = 0; i < 256; ++i) dib.colours[i] = {entries[i].peBlue, entries[i].peGreen, entries[i].peRed, 0};
}

VideoResult gdi_create_palette(const PALETTEENTRY entries[256]) {
  gdi_set_palette(entries);
  return video_code::ok;
}

VideoResult gdi_present(const uint8_t* frame, uint32_t w, uint32_t h) {
  const HWND window = win32_main_window();
  if (!window) return fail(video_code::surface_lost, "the window is gone");
  RECT now = {};
  GetClientRect(window, &now);
  wait_for_display();  // shown at the display's next frame, as a flip that waits for it
  const HDC dc = GetDC(window);
  if (!dc) return fail(video_code::surface_lost, "GetDC");
  // The borders once per layout: uncovered later, the class's black brush erases them again.
  if (!EqualRect(&now, &client)) {
    client = now;
    box = letterbox(client.right - client.left, client.bottom - client.top);
    paint_borders(dc);
  }
  SetStretchBltMode(dc, COLORONCOLOR);  // nearest neighbour
  const int rows = StretchDIBits(dc, client.left + box.x, client.top + box.y, box.w, box.h, 0, 0, static_cast<int>(w),
                                 static_cast<int>(h), frame, reinterpret_cast<const BITMAPINFO*>(&dib), DIB_RGB_COLORS,
                                 SRCCOPY);
  ReleaseDC(window, dc);
  // No rows drawn is a failure only where there was a box to draw in (not while minimised).
  if (rows == 0 && box.w > 0 && box.h > 0) return fail(video_code::generic, "StretchDIBits");
  return video_code::ok;
}

void gdi_before_dialog() {}  // the desktop is always visible

const char* gdi_last_error() { return last_error; }

}  // namespace

const Presenter gdi_presenter = {gdi_set_mode, gdi_create_surfaces, gdi_create_palette, gdi_set_palette,
                                 gdi_present,  gdi_before_dialog,   gdi_last_error};
