// The page's side of the web platform, in site/page.js and site/audio.js: the C++ files of
// platform/web call it through these functions and nothing else.
#pragma once
#include <cstdint>

// Window: messages the page has queued (keys, activation), the cursor, the modal popup.
// Takes the next queued message; false when none is waiting.
bool web_page_take_message(int32_t* kind, int32_t* param);
// Sleeps until the page queues a message or timeout_ms pass (negative: no limit); returns to the
// browser meanwhile.
void web_page_wait_message(int32_t timeout_ms);
void web_page_window_shown(const char* title);
void web_page_show_cursor(int32_t shown);
// A modal box on the page with one OK button; returns when OK is pressed.
void web_page_message_box(const char* title, const char* text);

// Video: the canvas, and a picture of 32-bit RGBA pixels shown at the next animation frame.
bool web_page_open_canvas(uint32_t width, uint32_t height);
// Puts the picture on the canvas at the next animation frame and returns after it.
void web_page_show_frame(const uint32_t* rgba, uint32_t width, uint32_t height);

// Audio: an AudioContext playing what the wasm renders, scheduled ahead on its clock.
// Whether the context can take sound: it exists (at any rate) and runs (or was never started, the
// first time, when the browser may not have started it yet).
enum class WebAudioOpen : int32_t { ready = 0, no_web_audio = 1, not_running = 2 };
WebAudioOpen web_audio_open();
// Schedules the stream from stream frame `first_frame` on, a moment from now.
void web_audio_start(double first_frame);
void web_audio_stop();
// The stream frame that leaves the audio graph now; false once the context has stopped running
// or has not run within 2 s of its start, with the last frame heard.
bool web_audio_heard_frame(double* frame);

// The end of the show: its exit code, for the page's end line.
void web_page_show_ended(int32_t exit_code);
// A scene switch or event of the script, as a line for the page's log.
void web_page_script_line(const char* line);
