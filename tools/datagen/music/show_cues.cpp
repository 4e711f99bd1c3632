// The (order, row) positions where the show's script acts, which the music is written round.
#include "tools/datagen/music/show_cues.h"

namespace music {

const int kBeatRows[12] = {0, 6, 12, 16, 24, 30, 32, 38, 44, 48, 56, 62};

bool order_has_beats(int order) { return (order >= 9 && order <= 12) || (order >= 17 && order <= 20); }

std::vector<Cue> show_scene_cues() {
  const int starts[][2] = {{0, 0}, {9, 0}, {13, 0}, {15, 0}, {17, 0}, {21, 0}, {26, 0}, {43, 32}};
  std::vector<Cue> cues;
  for (const auto& start : starts) cues.push_back({start[0], start[1], CueKind::scene});
  return cues;
}

std::vector<Cue> show_event_cues() {
  std::vector<Cue> cues;
  auto add = [&](int order, int row, CueKind kind) { cues.push_back({order, row, kind}); };
  for (int order = 1; order <= 5; ++order) add(order, 0, CueKind::caption);
  for (int order = 9; order <= 20; ++order) {
    if (order == 9 || order == 17) add(order, 0, CueKind::caption);
    if (order == 11) add(order, 0, CueKind::direction);
    if (order == 13) add(13, 0, CueKind::caption);
    if (order == 15 || order == 16) {
      add(order, 0, CueKind::caption);
      add(order, 32, CueKind::caption);
    }
    if (!order_has_beats(order)) continue;
    const bool row0_taken = order == 9 || order == 11 || order == 17;
    for (int row : kBeatRows) add(order, row == 0 && row0_taken ? 1 : row, CueKind::beat);
  }
  add(21, 0, CueKind::caption);
  add(25, 0, CueKind::caption);
  add(25, 32, CueKind::fade);
  add(26, 0, CueKind::caption);
  add(42, 0, CueKind::caption);
  add(43, 0, CueKind::fade);
  return cues;
}

}  // namespace music
