// The contract between the host and every effect: routine shapes and the shared globals.
#pragma once
#include <cstdint>

constexpr int32_t screen_width = 320;
constexpr int32_t screen_height = 200;
constexpr int32_t frame_size = screen_width * screen_height;
constexpr int32_t palette_size = 768;

using InitRoutine = void (*)();
using DrawRoutine = void (*)(uint8_t* frame);
using UpdateRoutine = void (*)(double ticks);
using EventCallback = void (*)();

extern uint8_t* fx_frame;           // frame buffer of this pass, stored by every draw routine
extern uint8_t scene_first_frame;   // 0 until the current scene has drawn once
extern uint32_t tick_count;         // whole 1/70 s ticks of the latest pass
extern const uint8_t* fade_target;  // palette the host fades to
extern uint8_t fade_pending;        // a fade to fade_target is requested
