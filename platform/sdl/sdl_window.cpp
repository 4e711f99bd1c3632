// The window over SDL: desktop full screen; SDL events become the program's messages.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/message_queue.h"
#include "platform/sdl/sdl_internal.h"
#include "platform/window.h"

namespace {

SDL_Window* window = nullptr;
char last_error[256] = "";

void post(const WindowMessage& message) { message_queue_post(window_queue, message); }

void translate(const SDL_Event& event) {
  switch (event.type) {
    case SDL_QUIT: post({MessageKind::close, 0}); break;
    case SDL_KEYDOWN:
      if (!event.key.repeat) {
        const SDL_Keycode key = event.key.keysym.sym;
        post({MessageKind::key_down, key == SDLK_ESCAPE ? key_escape : static_cast<int32_t>(key)});
      }
      break;
    case SDL_WINDOWEVENT:
      switch (event.window.event) {
        case SDL_WINDOWEVENT_FOCUS_GAINED:
        case SDL_WINDOWEVENT_RESTORED: post({MessageKind::activate, 1}); break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
        case SDL_WINDOWEVENT_MINIMIZED: post({MessageKind::activate, 0}); break;
        case SDL_WINDOWEVENT_CLOSE: post({MessageKind::close, 0}); break;
        case SDL_WINDOWEVENT_EXPOSED: sdl_video_exposed(); break;
        default: break;
      }
      break;
    default: break;
  }
}

// SDL falls back to drivers that draw into memory when no display can be reached; the show
// would then play to nobody. They are taken only when SDL_VIDEODRIVER names them.
bool driver_shows_nothing() {
  static const char* const invisible[] = {"offscreen", "dummy"};
  const char* current = SDL_GetCurrentVideoDriver();
  bool shows_nothing = false;
  for (const char* name : invisible) shows_nothing |= current && std::strcmp(current, name) == 0;
  if (!shows_nothing) return false;
  // SDL_VIDEODRIVER may be a comma list; the driver running must be one of its names.
  const char* asked = std::getenv("SDL_VIDEODRIVER");
  const size_t length = std::strlen(current);
  for (const char* at = asked; at && *at;) {
    const size_t name_length = std::strcspn(at, ",");
    if (name_length == length && SDL_strncasecmp(at, current, length) == 0) return false;
    at += name_length;
    if (*at == ',') ++at;
  }
  return true;
}

void say_no_display() {
  const char* x11 = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  if ((!x11 || !*x11) && (!wayland || !*wayland)) {
    std::snprintf(last_error, sizeof last_error, "no display to show on (DISPLAY and WAYLAND_DISPLAY are not set)");
  } else {
    std::snprintf(last_error, sizeof last_error, "no display to show on (none could be opened at %s%s%s)",
                  x11 && *x11 ? x11 : "", x11 && *x11 && wayland && *wayland ? " or " : "",
                  wayland && *wayland ? wayland : "");
  }
}

}  // namespace

void window_pump_events() {
  SDL_Event event;
  while (SDL_PollEvent(&event)) translate(event);
}

void window_sleep_until_event(int32_t timeout_ms) {
  SDL_Event event;  // sleeps in the event system, no spinning
  if (timeout_ms < 0 ? SDL_WaitEvent(&event) : SDL_WaitEventTimeout(&event, timeout_ms)) translate(event);
}

SDL_Window* sdl_main_window() { return window; }

bool window_create(const WindowDesc& desc) {
  SDL_SetHint("SDL_VIDEO_X11_WMCLASS", desc.class_name);
  SDL_SetHint(SDL_HINT_APP_NAME, desc.class_name);
  SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "1");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
    std::snprintf(last_error, sizeof last_error, "%s", SDL_GetError());
    return false;
  }
  if (driver_shows_nothing()) {
    say_no_display();
    SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
    return false;
  }
  // Created at the desktop's size: an X server without a window manager never resizes a
  // full-screen window, which would otherwise stay at its first size in the middle.
  SDL_DisplayMode desktop = {};
  if (SDL_GetDesktopDisplayMode(0, &desktop) != 0 || desktop.w <= 0 || desktop.h <= 0) {
    desktop.w = 640;
    desktop.h = 400;
  }
  window = SDL_CreateWindow(desc.title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, desktop.w, desktop.h,
                            SDL_WINDOW_FULLSCREEN_DESKTOP);
  if (!window) {
    std::snprintf(last_error, sizeof last_error, "%s", SDL_GetError());
    return false;
  }
  SDL_Surface* icon = SDL_CreateRGBSurfaceFrom(const_cast<uint32_t*>(desc.icon_argb), desc.icon_size, desc.icon_size,
                                               32, desc.icon_size * 4, 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000);
  if (icon) {
    SDL_SetWindowIcon(window, icon);
    SDL_FreeSurface(icon);
  }
  post({MessageKind::activate, 1});  // shown, and the active application
  return true;
}

void window_destroy() {
  sdl_video_release();
  if (window) SDL_DestroyWindow(window);
  window = nullptr;
  window_queue.quit_posted = true;
}

void window_show_cursor(bool shown) { SDL_ShowCursor(shown ? SDL_ENABLE : SDL_DISABLE); }

void window_message_box(const char* title, const char* text) {
  const SDL_MessageBoxButtonData ok = {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT |
                                           SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT,
                                       1, "OK"};
  const SDL_MessageBoxData box = {SDL_MESSAGEBOX_ERROR, window, title, text, 1, &ok, nullptr};
  int pressed = 0;
  if (SDL_ShowMessageBox(&box, &pressed) != 0) std::fprintf(stderr, "%s: %s\n", title, text);
}

// Started from a terminal or a launcher that keeps standard error: nothing more to show.
void window_show_failure(const char*, const char*) {}

const char* window_last_error() { return last_error; }
