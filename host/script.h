// The show's script: which scene runs from which module position, and one-shot events.
#pragma once
#include <cstddef>
#include <cstdint>

#include "platform/music.h"
#include "scenes/common/effect.h"

struct SceneRow {
  uint32_t start_order;
  uint32_t start_row;
  DrawRoutine draw;      // may be absent
  UpdateRoutine update;  // may be absent
};

struct EventRow {
  uint32_t order;
  uint32_t row;
  EventCallback callback;  // may be absent
};

constexpr uint32_t scene_row_count = 8;  // the end row is the last
constexpr uint32_t event_row_count = 115;

// scene_table[scene_row_count] is the terminating row; event_table[-1] is the zero row before
// the first event and event_table[event_row_count] the sentinel after the last.
extern const SceneRow scene_table[scene_row_count + 1];
extern const EventRow* const event_table;

// Polls the module position and applies the script; once per active pass.
void sync_to_music(MusicHandle music);
// The end row's draw routine: clears, presents at once and asks the loop to end.
void end_screen_draw(uint8_t* frame);

// Name of an event callback as it appears in logs ("none" when absent).
const char* event_callback_name(EventCallback callback);

// Told of every scene switch and every event that fires, with the position that caused it.
struct ScriptAction {
  bool is_event;
  uint32_t index;    // scene or event row
  const char* name;  // callback name for events
  uint32_t order;
  uint32_t row;
};
using ScriptObserver = void (*)(const ScriptAction& action);
extern ScriptObserver script_observer;

// The action as one line of the script log, without a line end: "scene I pass N pos O,R" or
// "event I NAME pass N pos O,R", N being the active pass.
void format_script_action(const ScriptAction& action, uint32_t pass, char* line, size_t size);
