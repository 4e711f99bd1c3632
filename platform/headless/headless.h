// Controls of the headless platform: a virtual clock advanced by presents, music rendered in
// lock-step with it, scripted window messages, captured frames and recorded popups.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/video.h"
#include "platform/window.h"

// Clock: every flip advances virtual time by one period of this display rate (default 60 Hz).
void headless_set_rate(uint32_t hz);
uint64_t headless_time_ns();
// Moves virtual time on by hand (rendering the music up to it), as a long pause would.
void headless_advance_clock(uint64_t nanoseconds);

// Music: the module starts at music_play; its sound goes to the sink as it is rendered.
using HeadlessAudioSink = void (*)(const int16_t* stereo_frames, size_t frame_count, void* context);
void headless_set_audio_sink(HeadlessAudioSink sink, void* context);
bool headless_music_started();
uint64_t headless_music_start_ns();
// Makes music_init_device fail, as on a machine without sound.
void headless_fail_music_device(bool fail);

// Window: messages delivered as if the user had acted; inactivity from..to seconds of virtual
// time after the music starts.
void headless_post_message(const WindowMessage& message);
void headless_set_inactive(double from_seconds, double to_seconds);
// Makes window_create fail, as on a machine without a usable display.
void headless_fail_window(bool fail);
struct HeadlessPopup {
  std::string title;
  std::string text;
};
const std::vector<HeadlessPopup>& headless_popups();
// Start-up failures shown by window_show_failure, in order.
const std::vector<HeadlessPopup>& headless_failures();

// Video: every flip is shown to the hook (pixels, pitch, the 8-bit palette, the flip's number
// counted from 1).
using HeadlessPresentHook = void (*)(const uint8_t* pixels, int32_t pitch, const PaletteEntry* palette,
                                     uint64_t present_number, void* context);
void headless_set_present_hook(HeadlessPresentHook hook, void* context);
void headless_set_pitch(int32_t pitch);  // bytes per back-buffer row, at least the mode's width
void headless_set_modes(const VideoMode* modes, int32_t count);
enum class HeadlessVideoStep { open, enum_modes, set_mode, create_surfaces, create_palette, lock, flip };
// Makes every call of that step fail with code from now on (ok clears it).
void headless_fail_video(HeadlessVideoStep step, VideoResult code);
uint64_t headless_present_count();
const uint8_t* headless_back_buffer();
const PaletteEntry* headless_palette();

// Back to the state of a fresh process (for tests that run the show more than once).
void headless_reset();
