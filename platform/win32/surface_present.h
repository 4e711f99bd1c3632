// Presenting a frame on a flipping surface that the system may take away (another program
// took the exclusive display, Alt+Tab): the frame is copied into the locked back buffer with
// the surface's pitch and flipped; a lost surface is restored, its palette uploaded again and
// the frame presented once more. Only a failure that persists after the restore is reported.
// Plain functions over a table of calls, so that a fake can stand in for DirectDraw.
#pragma once
#include <cstdint>

#include "platform/video.h"

struct SurfaceCalls {
  void* self;
  VideoResult (*lock)(void* self, uint8_t** pixels, int32_t* pitch);
  void (*unlock)(void* self);
  VideoResult (*flip)(void* self);
  // Restores every surface and uploads the palette again.
  VideoResult (*restore)(void* self);
};

// The frame is `height` rows of `width` bytes, tightly packed.
VideoResult surface_present(const SurfaceCalls& calls, const uint8_t* frame, uint32_t width, uint32_t height);
