// The script's tables and their stepping: which scene from which module position, and its events.
#include "host/script.h"

#include <cstdio>

#include "display/display.h"
#include "host/fader.h"
#include "host/show_state.h"
#include "scenes/ball/ball.h"
#include "scenes/captions/captions.h"
#include "scenes/common/fx.h"
#include "scenes/feedback/feedback.h"
#include "scenes/lattice/lattice.h"
#include "scenes/scroller/scroller.h"
#include "scenes/sphere/sphere.h"
#include "scenes/swarm/swarm.h"
#include "scenes/swirl/swirl.h"

// The terminating row is reached only when the end position was missed and the module came
// round to its start again; it ends the show the way the end screen does.
// The script tables keep one line per position, as the show is read.
// clang-format off
const SceneRow scene_table[scene_row_count + 1] = {
    {0, 0, swarm_draw, swarm_update},
    {9, 0, lattice_draw, lattice_update},
    {13, 0, swirl_draw, swirl_update},
    {15, 0, feedback_draw, feedback_update},
    {17, 0, ball_draw, ball_update},
    {21, 0, sphere_draw, sphere_update},
    {26, 0, scroller_draw, scroller_update},
    {43, 32, end_screen_draw, scroller_update},
    {0, 0, end_screen_draw, nullptr},
};
// clang-format on

namespace {

constexpr EventCallback caption = on_next_caption;
constexpr EventCallback beat = on_beat_pulse;

// Twelve beats a pattern; where row 0 holds another event the first beat moves to row 1.
// clang-format off
#define BEATS(order, first)                                                                  \
  {order, first, beat}, {order, 6, beat}, {order, 12, beat}, {order, 16, beat},              \
      {order, 24, beat}, {order, 30, beat}, {order, 32, beat}, {order, 38, beat},            \
      {order, 44, beat}, {order, 48, beat}, {order, 56, beat}, {order, 62, beat}

const EventRow event_rows[1 + event_row_count + 1] = {
    {0, 0, nullptr},  // the previous event of the first row
    {1, 0, caption}, {2, 0, caption}, {3, 0, caption}, {4, 0, caption}, {5, 0, caption},
    {9, 0, caption},
    BEATS(9, 1),
    BEATS(10, 0),
    {11, 0, on_direction_toggle},
    BEATS(11, 1),
    BEATS(12, 0),
    {13, 0, caption}, {15, 0, caption}, {15, 32, caption}, {16, 0, caption}, {16, 32, caption},
    {17, 0, caption},
    BEATS(17, 1),
    BEATS(18, 0),
    BEATS(19, 0),
    BEATS(20, 0),
    {21, 0, caption}, {25, 0, caption},
    {25, 32, on_fade_to_black},
    {26, 0, caption}, {42, 0, caption},
    {43, 0, on_fade_to_black},
    {80, 1, nullptr},  // never reached: the list stops advancing here
};
// clang-format on

#undef BEATS

static_assert(sizeof event_rows / sizeof event_rows[0] == event_row_count + 2);

void notify(bool is_event, uint32_t index, const char* name, uint32_t order, uint32_t row) {
  if (script_observer) script_observer({is_event, index, name, order, row});
}

}  // namespace

const EventRow* const event_table = event_rows + 1;
ScriptObserver script_observer = nullptr;

void format_script_action(const ScriptAction& a, uint32_t pass, char* line, size_t size) {
  if (a.is_event) {
    std::snprintf(line, size, "event %u %s pass %u pos %u,%u", a.index, a.name, pass, a.order, a.row);
  } else {
    std::snprintf(line, size, "scene %u pass %u pos %u,%u", a.index, pass, a.order, a.row);
  }
}

const char* event_callback_name(EventCallback callback) {
  struct Named {
    EventCallback callback;
    const char* name;
  };
  static const Named names[] = {
      {on_next_caption, "on_next_caption"},
      {on_beat_pulse, "on_beat_pulse"},
      {on_direction_toggle, "on_direction_toggle"},
      {on_fade_to_black, "on_fade_to_black"},
  };
  for (const Named& n : names)
    if (n.callback == callback) return n.name;
  return "none";
}

void sync_to_music(MusicHandle music) {
  const auto [order, row] = music_unpack_position(music_position(music));

  if (scene_index < scene_row_count) {
    uint32_t next = scene_index + 1;
    // When the end row's position was missed, the looping module comes round to its start,
    // which is the terminating row's position: the show ends there instead.
    const SceneRow& terminating = scene_table[scene_row_count];
    if (next == scene_row_count - 1 && order == terminating.start_order && row == terminating.start_row)
      next = scene_row_count;
    if (order == scene_table[next].start_order && row == scene_table[next].start_row) {
      tick_count = 0;
      scene_first_frame = 0;
      scene_index = next;
      notify(false, scene_index, nullptr, order, row);
    }
  }

  const EventRow& previous = event_table[static_cast<int32_t>(event_index) - 1];
  if (order == previous.order && row == previous.row + 1) event_hold = 0;

  const EventRow& event = event_table[event_index];
  if (order == event.order && event_hold == 0 && row == event.row && event_index < event_row_count) {
    ++event_index;
    notify(true, event_index - 1, event_callback_name(event.callback), order, row);
    if (event.callback) event.callback();
    event_hold = 1;
  }
}

void end_screen_draw(uint8_t* frame) {
  for (int32_t i = 0; i < frame_size; ++i) frame[i] = 0;
  display.present(frame, 0, screen_height);
  quit_requested = 1;
}
