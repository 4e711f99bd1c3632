// The check that the loaded module plays every position the script waits for.
#include "host/script_check.h"

#include <cstdint>
#include <cstdio>

#include "host/script.h"

namespace {

// What a missing position costs the show, worst first.
enum class Loss { stuck_scene, end_row, events };

const char* const loss_texts[] = {
    "the show cannot reach its end",
    "the show ends only when the module loops back to its start",
    "the script's events stop there",
};

// Writes the line for (order, row) if the module lacks it; false then.
bool has_position(MusicHandle music, uint32_t order, uint32_t row, Loss loss, const char* module_name, char* message,
                  size_t message_size) {
  const int32_t orders = music_order_count(music);
  const int32_t rows = order < static_cast<uint32_t>(orders) ? music_pattern_rows(music, static_cast<int32_t>(order))
                                                             : -1;
  if (rows > 0 && row < static_cast<uint32_t>(rows)) return true;
  char has[64];
  if (order >= static_cast<uint32_t>(orders))
    std::snprintf(has, sizeof has, "the module has %d orders", orders);
  else if (rows < 0)
    std::snprintf(has, sizeof has, "order %u plays no pattern", order);
  else
    std::snprintf(has, sizeof has, "its pattern has %d rows", rows);
  std::snprintf(message, message_size, "%s has no row %u in order %u (%s): %s", module_name, row, order, has,
                loss_texts[static_cast<int>(loss)]);
  return false;
}

}  // namespace

bool check_script_positions(MusicHandle music, const char* module_name, char* message, size_t message_size) {
  // Row 0 is current from the start and the terminating row waits for the module's own start:
  // neither is looked for.
  for (uint32_t i = 1; i < scene_row_count; ++i) {
    const Loss loss = i + 1 == scene_row_count ? Loss::end_row : Loss::stuck_scene;
    const SceneRow& scene = scene_table[i];
    if (!has_position(music, scene.start_order, scene.start_row, loss, module_name, message, message_size))
      return false;
  }
  // An event holds the next one until a poll has seen its following row, which must exist too.
  for (uint32_t i = 0; i < event_row_count; ++i) {
    const EventRow& event = event_table[i];
    for (uint32_t row = event.row; row <= event.row + 1; ++row)
      if (!has_position(music, event.order, row, Loss::events, module_name, message, message_size)) return false;
  }
  return true;
}
