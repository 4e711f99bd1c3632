// Where the show's script acts, as (order, row) positions of the module: the music is written
// around these, and every one of them must be played.
#pragma once
#include <vector>

namespace music {

enum class CueKind { scene, caption, beat, direction, fade };

struct Cue {
  int order;
  int row;
  CueKind kind;
};

// Scene switches first, then the events, each list in playing order.
std::vector<Cue> show_scene_cues();
std::vector<Cue> show_event_cues();

// The rows of one order on which the pictures flash to the beat (row 0 moves to row 1 when
// another event holds row 0).
extern const int kBeatRows[12];

// Orders whose beat rows carry flashes.
bool order_has_beats(int order);

// The last position of the show: the end screen.
constexpr int kEndOrder = 43;
constexpr int kEndRow = 32;

}  // namespace music
