// What the Win32 video functions go through once a mode is chosen: the DirectDraw exclusive
// surfaces (win32_video.cpp) or GDI on the desktop for an emulated mode (gdi_present.cpp).
#pragma once
#include <windows.h>

#include <cstdint>

#include "platform/video.h"

struct Presenter {
  VideoResult (*set_mode)(uint32_t width, uint32_t height, uint32_t bits_per_pixel);
  VideoResult (*create_surfaces)();
  VideoResult (*create_palette)(const PALETTEENTRY entries[256]);
  void (*set_palette)(const PALETTEENTRY entries[256]);
  // Shows the frame (`height` rows of `width` bytes) and waits out the display period.
  VideoResult (*present)(const uint8_t* frame, uint32_t width, uint32_t height);
  // Before a dialog: the desktop visible, so that the dialog is not hidden under a flip.
  void (*before_dialog)();
  const char* (*last_error)();
};

extern const Presenter gdi_presenter;
