// DirectDraw 7: the window takes the screen exclusively, switches to the palettized mode and
// flips a primary surface with one back buffer. The core draws into a frame in system memory;
// the flip copies it into the locked back buffer with the surface's pitch, so that a surface
// lost to another program can be restored and the same frame presented again.
//
// The modes of the shared emulated list that DirectDraw does not offer (on current Windows and
// on Wine without its virtual desktop, 320x200x8 among them) are added, marked as emulated.
// Choosing one leaves the exclusive mode and presents through GDI instead (gdi_present.cpp);
// the Presenter table says which of the two a mode's calls go to.
#include <ddraw.h>

#include <cstdio>
#include <cstring>
#include <iterator>

#include "platform/emulated_modes.h"
#include "platform/frame_pacer.h"
#include "platform/module_player.h"
#include "platform/video.h"
#include "platform/video_frame.h"
#include "platform/win32/presenter.h"
#include "platform/win32/surface_present.h"
#include "platform/win32/win32_internal.h"

namespace {

IDirectDraw7* ddraw = nullptr;
IDirectDrawSurface7* primary = nullptr;
IDirectDrawSurface7* back_buffer = nullptr;
IDirectDrawPalette* palette = nullptr;
PALETTEENTRY palette_entries[256];
FramePacer pacer;
char last_error[256] = "";

VideoResult checked(HRESULT result, const char* step) {
  if (FAILED(result)) std::snprintf(last_error, sizeof last_error, "%s failed (0x%08lX)", step, result);
  return static_cast<VideoResult>(result);
}

constexpr size_t emulated_count = std::size(emulated_modes);
bool emulated[emulated_count];  // added by this backend, not offered by DirectDraw

// The mode's place in the emulated list, or -1.
int emulated_index(uint32_t w, uint32_t h, uint32_t bits_per_pixel) {
  for (size_t i = 0; i < emulated_count; ++i) {
    const VideoMode& mode = emulated_modes[i];
    if (mode.width == w && mode.height == h && mode.bits_per_pixel == bits_per_pixel) return static_cast<int>(i);
  }
  return -1;
}

struct ModeListing {
  bool (*each)(const VideoMode&, void*);
  void* context;
  bool stopped;
  bool offered[emulated_count];  // DirectDraw reported it
};

HRESULT WINAPI list_mode(LPDDSURFACEDESC2 desc, LPVOID listing_pointer) {
  ModeListing& listing = *static_cast<ModeListing*>(listing_pointer);
  const DDPIXELFORMAT& format = desc->ddpfPixelFormat;
  const VideoMode mode = {desc->dwWidth,     desc->dwHeight,    format.dwRGBBitCount,
                          format.dwRBitMask, format.dwGBitMask, format.dwBBitMask};
  const int index = emulated_index(mode.width, mode.height, mode.bits_per_pixel);
  if (index >= 0) listing.offered[index] = true;
  listing.stopped = !listing.each(mode, listing.context);
  return listing.stopped ? DDENUMRET_CANCEL : DDENUMRET_OK;
}

void upload_palette() {
  if (!palette) return;
  palette->SetEntries(0, 0, 256, palette_entries);
  primary->SetPalette(palette);
}

// The calls surface_present makes, on the real surfaces.
VideoResult lock_back_buffer(void*, uint8_t** pixels, int32_t* pitch) {
  DDSURFACEDESC2 desc = {};
  desc.dwSize = sizeof desc;
  const HRESULT result = back_buffer->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_WRITEONLY, nullptr);
  if (FAILED(result)) return checked(result, "Lock");
  *pixels = static_cast<uint8_t*>(desc.lpSurface);
  *pitch = static_cast<int32_t>(desc.lPitch);
  return video_code::ok;
}

void unlock_back_buffer(void*) { back_buffer->Unlock(nullptr); }

VideoResult flip_primary(void*) { return checked(primary->Flip(nullptr, DDFLIP_WAIT), "Flip"); }

VideoResult restore_surfaces(void*) {
  const VideoResult result = checked(ddraw->RestoreAllSurfaces(), "RestoreAllSurfaces");
  if (result == video_code::ok) upload_palette();
  return result;
}

const SurfaceCalls direct_draw_surface = {nullptr, lock_back_buffer, unlock_back_buffer, flip_primary,
                                          restore_surfaces};

void direct_draw_before_dialog() {
  if (ddraw && primary) ddraw->FlipToGDISurface();
}

// An emulated mode keeps the desktop as it is: DirectDraw lets the screen go.
void leave_exclusive_mode() {
  if (!ddraw) return;
  ddraw->SetCooperativeLevel(win32_main_window(), DDSCL_NORMAL);
  ddraw->Release();
  ddraw = nullptr;
}

VideoResult direct_draw_set_mode(uint32_t w, uint32_t h, uint32_t bits_per_pixel) {
  if (const VideoResult code = emulated_mode_check(w, h, bits_per_pixel, last_error, sizeof last_error)) return code;
  char step[64];
  std::snprintf(step, sizeof step, "SetDisplayMode %ux%ux%u", w, h, bits_per_pixel);
  const VideoResult result = checked(ddraw->SetDisplayMode(w, h, bits_per_pixel, 0, DDSDM_STANDARDVGAMODE), step);
  if (result != video_code::ok) return result;
  DWORD hz = 0;
  if (FAILED(ddraw->GetMonitorFrequency(&hz))) hz = 0;  // unknown: 60 Hz
  frame_pacer_start(pacer, static_cast<int>(hz), std::chrono::steady_clock::now());
  module_player_set_display_rate(static_cast<int32_t>(hz));
  return video_code::ok;
}

VideoResult direct_draw_create_surfaces() {
  DDSURFACEDESC2 desc = {};
  desc.dwSize = sizeof desc;
  desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
  desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
  desc.dwBackBufferCount = 1;
  const VideoResult result = checked(ddraw->CreateSurface(&desc, &primary, nullptr), "CreateSurface");
  if (result != video_code::ok) return result;
  DDSCAPS2 caps = {};
  caps.dwCaps = DDSCAPS_BACKBUFFER;
  const VideoResult attached = checked(primary->GetAttachedSurface(&caps, &back_buffer), "GetAttachedSurface");
  if (attached != video_code::ok) return attached;  // without it every present would write nowhere
  return video_code::ok;
}

VideoResult direct_draw_create_palette(const PALETTEENTRY entries[256]) {
  return checked(ddraw->CreatePalette(DDPCAPS_8BIT | DDPCAPS_ALLOW256, const_cast<PALETTEENTRY*>(entries), &palette,
                                      nullptr),
                 "CreatePalette");
}

void direct_draw_set_palette(const PALETTEENTRY*) { upload_palette(); }

VideoResult direct_draw_present(const uint8_t* shown, uint32_t w, uint32_t h) {
  if (!primary || !back_buffer) return checked(DDERR_SURFACELOST, "no surfaces to flip");
  frame_pacer_wait(pacer);  // shown at the period's end, as a flip that waits for the blank
  return surface_present(direct_draw_surface, shown, w, h);
}

const char* direct_draw_last_error() { return last_error; }

const Presenter direct_draw_presenter = {direct_draw_set_mode,       direct_draw_create_surfaces,
                                         direct_draw_create_palette, direct_draw_set_palette,
                                         direct_draw_present,        direct_draw_before_dialog,
                                         direct_draw_last_error};
const Presenter* presenter = &direct_draw_presenter;

}  // namespace

void win32_video_before_dialog() { presenter->before_dialog(); }

VideoResult video_open() {
  const HWND window = win32_main_window();
  if (!window) return checked(DDERR_NOHWND, "no window to take the screen for");
  VideoResult result = checked(DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(&ddraw), IID_IDirectDraw7, nullptr),
                               "DirectDrawCreateEx");
  if (result != video_code::ok) return result;
  result = checked(ddraw->SetCooperativeLevel(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), "SetCooperativeLevel");
  // Sleeps of one millisecond where flips must be paced.
  timeBeginPeriod(1);
  return result;
}

VideoResult video_enum_modes(bool (*each)(const VideoMode&, void*), void* context) {
  ModeListing listing = {each, context, false, {}};
  const VideoResult result = checked(ddraw->EnumDisplayModes(DDEDM_STANDARDVGAMODES, nullptr, &listing, list_mode),
                                     "EnumDisplayModes");
  if (result != video_code::ok) return result;
  for (size_t i = 0; i < emulated_count && !listing.stopped; ++i) {
    emulated[i] = !listing.offered[i];
    if (emulated[i]) listing.stopped = !each(emulated_modes[i], context);
  }
  return video_code::ok;
}

VideoResult video_set_mode(uint32_t w, uint32_t h, uint32_t bits_per_pixel) {
  const int index = emulated_index(w, h, bits_per_pixel);
  presenter = index >= 0 && emulated[index] ? &gdi_presenter : &direct_draw_presenter;
  if (presenter == &gdi_presenter) leave_exclusive_mode();
  const VideoResult result = presenter->set_mode(w, h, bits_per_pixel);
  if (result != video_code::ok) return result;
  video_frame.width = w;
  video_frame.height = h;
  return video_code::ok;
}

VideoResult video_create_surfaces() {
  std::memset(video_frame.pixels, 0, sizeof video_frame.pixels);
  return presenter->create_surfaces();
}

VideoResult video_create_palette(const PaletteEntry entries[256]) {
  std::memcpy(palette_entries, entries, sizeof palette_entries);
  return presenter->create_palette(palette_entries);
}

void video_set_palette(const PaletteEntry entries[256]) {
  static_assert(sizeof(PaletteEntry) == sizeof(PALETTEENTRY), "the same four bytes");
  std::memcpy(palette_entries, entries, sizeof palette_entries);
  presenter->set_palette(palette_entries);
}

VideoResult video_flip() { return presenter->present(video_frame.pixels, video_frame.width, video_frame.height); }

const char* video_last_error() { return presenter->last_error(); }
