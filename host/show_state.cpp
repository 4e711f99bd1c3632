// The host's one global state: script position, window state, the frame and the data.
#include "host/show_state.h"

uint32_t scene_index = 0;
uint32_t event_index = 0;
uint8_t event_hold = 0;
uint8_t quit_requested = 0;
int32_t app_active = 0;
int32_t cursor_shown = 0;
uint8_t* frame_buffer = nullptr;
MusicHandle music_handle = 0;
uint32_t active_passes = 0;

uint8_t* splash_picture = nullptr;
uint8_t* splash_palette = nullptr;
uint8_t* sidebar_picture = nullptr;
