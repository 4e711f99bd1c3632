// Video surface: an emulated palettized full-screen mode with a flipping back buffer.
// Failures are reported as DirectDraw result codes so that the display can name them.
#pragma once
#include <cstdint>

using VideoResult = int32_t;  // 0 is success

// The codes a backend reports, each the nearest documented DirectDraw failure, so that the
// display's popup shows that code's text followed by the backend's own reason
// (video_last_error):
//
//   failure                                     code                       name here
//   no window to take the screen for            DDERR_NOHWND               no_window
//   no renderer at all: no usable video device  DDERR_NODIRECTDRAWSUPPORT  no_device
//   mode not offered (size or depth)            DDERR_INVALIDMODE          invalid_mode
//   screen texture cannot be created            DDERR_OUTOFVIDEOMEMORY     out_of_video_memory
//   screen gone, or its texture cannot be       DDERR_SURFACELOST          surface_lost
//     written (a present that fails)
//   texture cannot be drawn to the window       DDERR_GENERIC              generic
//
// An emulated mode cannot lose exclusive access or palette hardware; those codes are named
// for backends that can. A window that cannot be created fails before the display opens and
// is reported by start-up.
namespace video_code {
constexpr VideoResult ok = 0;
constexpr VideoResult no_window = static_cast<int32_t>(0x88760239u);            // DDERR_NOHWND
constexpr VideoResult no_device = static_cast<int32_t>(0x887600DEu);            // DDERR_NODIRECTDRAWSUPPORT
constexpr VideoResult no_exclusive = static_cast<int32_t>(0x887600E1u);         // DDERR_NOEXCLUSIVEMODE
constexpr VideoResult invalid_mode = static_cast<int32_t>(0x88760078u);         // DDERR_INVALIDMODE
constexpr VideoResult out_of_video_memory = static_cast<int32_t>(0x8876017Cu);  // DDERR_OUTOFVIDEOMEMORY
constexpr VideoResult no_palette_hw = static_cast<int32_t>(0x8876023Du);        // DDERR_NOPALETTEHW
constexpr VideoResult surface_lost = static_cast<int32_t>(0x887601C2u);         // DDERR_SURFACELOST
constexpr VideoResult generic = static_cast<int32_t>(0x80004005u);              // DDERR_GENERIC
}  // namespace video_code

struct VideoMode {
  uint32_t width, height, bits_per_pixel;
  uint32_t red_mask, green_mask, blue_mask;
};

struct PaletteEntry {
  uint8_t red, green, blue, flags;
};

// Takes the screen for the program's window, exclusively and full screen.
VideoResult video_open();
// Reports every mode the backend offers, in its own order; each returns false to stop.
VideoResult video_enum_modes(bool (*each)(const VideoMode& mode, void* context), void* context);
VideoResult video_set_mode(uint32_t width, uint32_t height, uint32_t bits_per_pixel);
// The visible surface and one back buffer.
VideoResult video_create_surfaces();
VideoResult video_create_palette(const PaletteEntry entries[256]);
// Uploads the 256 entries and makes them the visible palette.
void video_set_palette(const PaletteEntry entries[256]);
// Gives the back buffer's pixels and its pitch in bytes until video_unlock.
VideoResult video_lock(uint8_t** pixels, int32_t* pitch);
void video_unlock();
// Shows the back buffer at the next vertical blank, waiting for it.
VideoResult video_flip();
const char* video_last_error();
