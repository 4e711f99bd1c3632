// The host's single global state: script position, window state, the frame and the data.
#pragma once
#include <cstdint>

#include "platform/music.h"
#include "scenes/common/effect.h"

extern uint32_t scene_index;    // current row of scene_table
extern uint32_t event_index;    // next row of event_table to fire
extern uint8_t event_hold;      // 1 from an event until the poll sees the row after it
extern uint8_t quit_requested;  // set by the end screen
extern int32_t app_active;      // non-zero while the program is the active application
extern int32_t cursor_shown;    // 1 while inactive
extern uint8_t* frame_buffer;   // 64000 bytes, one palette index per pixel
extern MusicHandle music_handle;
extern uint32_t active_passes;  // active passes of the main loop so far, counted from 1

// The data files, loaded at start-up and kept for the whole run.
extern uint8_t* splash_picture;   // "splash.bin", 64000 bytes
extern uint8_t* splash_palette;   // "splash.pal", 768 bytes
extern uint8_t* sidebar_picture;  // "sidebar.bin", 6400 bytes
