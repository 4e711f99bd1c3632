// The calls into the page's JavaScript. Each one looks up the page's object when called, so the
// page (or a test) can replace a part of it.
#include "platform/web/web_page.h"

#include <emscripten.h>

// clang-format off
EM_JS(int, page_take_message, (int32_t* kind, int32_t* param), {
  const message = Module.tarnwickPage.takeMessage();
  if (!message) return 0;
  HEAP32[kind >> 2] = message[0];
  HEAP32[param >> 2] = message[1];
  return 1;
});
EM_ASYNC_JS(void, page_wait_message, (int32_t timeout_ms), { await Module.tarnwickPage.nextMessage(timeout_ms); });
EM_JS(void, page_window_shown, (const char* title), { Module.tarnwickPage.windowShown(UTF8ToString(title)); });
EM_JS(void, page_show_cursor, (int32_t shown), { Module.tarnwickPage.showCursor(shown !== 0); });
EM_ASYNC_JS(void, page_message_box, (const char* title, const char* text), {
  await Module.tarnwickPage.messageBox(UTF8ToString(title), UTF8ToString(text));
});
EM_JS(int, page_open_canvas, (uint32_t width, uint32_t height), {
  return Module.tarnwickPage.openCanvas(width, height) ? 1 : 0;
});
EM_ASYNC_JS(void, page_show_frame, (const uint32_t* rgba, uint32_t width, uint32_t height), {
  await Module.tarnwickPage.showFrame(HEAPU8.subarray(rgba, rgba + width * height * 4));
});
EM_JS(int, audio_open, (), { return Module.tarnwickAudio.open(); });
EM_JS(void, audio_start, (double first_frame), { Module.tarnwickAudio.start(first_frame); });
EM_JS(void, audio_stop, (), { Module.tarnwickAudio.stop(); });
EM_JS(int, audio_heard_frame, (double* frame), {
  const audio = Module.tarnwickAudio;
  HEAPF64[frame >> 3] = audio.heardFrame();
  return audio.outputHeard() ? 1 : 0;
});
EM_JS(void, page_show_ended, (int32_t exit_code), { Module.tarnwickPage.showEnded(exit_code); });
EM_JS(void, page_script_line, (const char* line), { Module.tarnwickPage.scriptLine(UTF8ToString(line)); });
// clang-format on

bool web_page_take_message(int32_t* kind, int32_t* param) { return page_take_message(kind, param) != 0; }
void web_page_wait_message(int32_t timeout_ms) { page_wait_message(timeout_ms); }
void web_page_window_shown(const char* title) { page_window_shown(title); }
void web_page_show_cursor(int32_t shown) { page_show_cursor(shown); }
void web_page_message_box(const char* title, const char* text) { page_message_box(title, text); }
bool web_page_open_canvas(uint32_t width, uint32_t height) { return page_open_canvas(width, height) != 0; }
void web_page_show_frame(const uint32_t* rgba, uint32_t width, uint32_t height) {
  page_show_frame(rgba, width, height);
}
WebAudioOpen web_audio_open() { return static_cast<WebAudioOpen>(audio_open()); }
void web_audio_start(double first_frame) { audio_start(first_frame); }
void web_audio_stop() { audio_stop(); }
bool web_audio_heard_frame(double* frame) { return audio_heard_frame(frame) != 0; }
void web_page_show_ended(int32_t exit_code) { page_show_ended(exit_code); }
void web_page_script_line(const char* line) { page_script_line(line); }
