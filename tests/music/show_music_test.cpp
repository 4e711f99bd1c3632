// The show's module as the show plays it: loads cleanly, plays every scripted position in
// order, rows long enough for a 60 Hz poll, the right length, and a clean loop.
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "tests/music/module_readers.h"
#include "tools/datagen/music/show_cues.h"

namespace {

using music_test::OpenmptModule;
using Position = std::pair<int, int>;

// Every position the script waits for, scene switches and events merged, in playing order.
// Written out here on its own, apart from the composer's copy, so a slip in either shows.
std::vector<Position> scripted_positions() {
  std::vector<Position> positions = {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}};
  const int beats[12] = {0, 6, 12, 16, 24, 30, 32, 38, 44, 48, 56, 62};
  for (int order : {9, 10, 11, 12, 17, 18, 19, 20}) {
    const bool row0_taken = order == 9 || order == 11 || order == 17;
    if (row0_taken) positions.push_back({order, 0});
    for (int row : beats) positions.push_back({order, row == 0 && row0_taken ? 1 : row});
    if (order == 12) {
      for (Position p : {Position{13, 0}, {15, 0}, {15, 32}, {16, 0}, {16, 32}}) positions.push_back(p);
    }
  }
  for (Position p : {Position{21, 0}, {25, 0}, {25, 32}, {26, 0}, {42, 0}, {43, 0}, {43, 32}}) positions.push_back(p);
  return positions;
}

TEST(ShowCues, ComposerFollowsTheSameScript) {
  std::vector<Position> composer;
  for (const music::Cue& cue : music::show_scene_cues()) composer.push_back({cue.order, cue.row});
  for (const music::Cue& cue : music::show_event_cues()) composer.push_back({cue.order, cue.row});
  std::sort(composer.begin(), composer.end());
  composer.erase(std::unique(composer.begin(), composer.end()), composer.end());
  EXPECT_EQ(composer, scripted_positions());
  EXPECT_EQ(music::show_event_cues().size(), 115u);
}

struct PlayedRow {
  int order, row;
  long frames;  // how long it played, in frames at 44100 Hz
  int speed, tempo;
};

// Positions do not depend on the output rate; a low one keeps the mixing cheap.
constexpr int kRate = 11025;

// Renders the module once through in 16-frame (1.5 ms) steps and lists the rows it played.
std::vector<PlayedRow> play_through(openmpt_module* mod) {
  std::vector<PlayedRow> rows;
  int16_t buffer[2 * 16];
  openmpt_module_set_repeat_count(mod, 0);
  openmpt_module_set_position_order_row(mod, 0, 0);
  rows.push_back({0, 0, 0, openmpt_module_get_current_speed(mod), openmpt_module_get_current_tempo(mod)});
  for (;;) {
    const size_t got = openmpt_module_read_interleaved_stereo(mod, kRate, 16, buffer);
    if (got == 0) break;
    const int order = openmpt_module_get_current_order(mod);
    const int row = openmpt_module_get_current_row(mod);
    if (order != rows.back().order || row != rows.back().row) {
      rows.push_back({order, row, 0, openmpt_module_get_current_speed(mod), openmpt_module_get_current_tempo(mod)});
    }
    rows.back().frames += static_cast<long>(got);
  }
  return rows;
}

class ShowMusic : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    module_ = new OpenmptModule(music_test::read_bytes("tarnwick.it"));
    if (module_->mod) played_ = new std::vector<PlayedRow>(play_through(module_->mod));
  }
  static void TearDownTestSuite() {
    delete played_;
    delete module_;
    played_ = nullptr;
    module_ = nullptr;
  }
  void SetUp() override {
    ASSERT_NE(module_->mod, nullptr) << module_->log;
    ASSERT_NE(played_, nullptr);
  }
  static OpenmptModule* module_;
  static std::vector<PlayedRow>* played_;
};
OpenmptModule* ShowMusic::module_ = nullptr;
std::vector<PlayedRow>* ShowMusic::played_ = nullptr;

TEST_F(ShowMusic, LoadsWithoutWarnings) {
  EXPECT_EQ(module_->warnings, "");
  EXPECT_EQ(module_->log, "");
  EXPECT_EQ(module_->metadata("type"), "it");
  EXPECT_EQ(module_->metadata("title"), "tarnwick");
  EXPECT_GE(openmpt_module_get_num_orders(module_->mod), 44);
  EXPECT_GE(openmpt_module_get_pattern_num_rows(module_->mod, openmpt_module_get_order_pattern(module_->mod, 43)), 33);
}

TEST_F(ShowMusic, PlaysEveryScriptedPositionInOrder) {
  const std::vector<Position> wanted = scripted_positions();
  // 8 scene starts and 115 events, six of which share a position with a scene start.
  ASSERT_EQ(wanted.size(), 8u + 115u - 6u);
  size_t next = 0;
  for (const PlayedRow& played : *played_) {
    if (next < wanted.size() && Position{played.order, played.row} == wanted[next]) ++next;
  }
  ASSERT_EQ(next, wanted.size()) << "never reached order " << wanted[next].first << " row " << wanted[next].second;
  // Nothing scripted is played twice before the show's end: no jumps back, no repeated rows.
  std::vector<Position> seen;
  for (const PlayedRow& played : *played_) {
    const Position p{played.order, played.row};
    if (p > Position{43, 32}) break;
    ASSERT_TRUE(seen.empty() || p > seen.back())
        << "order " << p.first << " row " << p.second << " after a later position";
    seen.push_back(p);
  }
  EXPECT_EQ(seen.size(), 43u * 64u + 33u) << "every row up to the end is played once";
}

TEST_F(ShowMusic, RowsLastLongEnoughForTheFramePoll) {
  for (const PlayedRow& played : *played_) {
    const double row_seconds = played.speed * 2.5 / played.tempo;
    ASSERT_GE(row_seconds, 0.060) << "order " << played.order << " row " << played.row;
  }
  // The measured lengths agree (the last row of the song is cut short by the end).
  for (size_t i = 1; i + 1 < played_->size(); ++i) {
    ASSERT_GE((*played_)[i].frames, 0.060 * kRate - 32)
        << "order " << (*played_)[i].order << " row " << (*played_)[i].row;
  }
}

TEST_F(ShowMusic, ShowLastsFourToFiveAndAHalfMinutes) {
  long frames = 0;
  for (const PlayedRow& played : *played_) {
    if (Position{played.order, played.row} >= Position{43, 32}) break;
    frames += played.frames;
  }
  const double seconds = static_cast<double>(frames) / kRate;
  EXPECT_GE(seconds, 240.0);
  EXPECT_LE(seconds, 330.0);
  RecordProperty("show_seconds", std::to_string(seconds));
}

TEST_F(ShowMusic, LoopsBackToTheStart) {
  openmpt_module* mod = module_->mod;
  const double duration = openmpt_module_get_duration_seconds(mod);
  openmpt_module_set_repeat_count(mod, -1);
  openmpt_module_set_position_order_row(mod, 43, 60);
  int16_t buffer[2 * 32];
  bool wrapped = false;
  Position last{43, 60};
  for (int step = 0; step < 2000 && !wrapped; ++step) {
    ASSERT_EQ(openmpt_module_read_interleaved_stereo(mod, kRate, 32, buffer), 32u);
    const Position now{openmpt_module_get_current_order(mod), openmpt_module_get_current_row(mod)};
    if (now < last) {
      EXPECT_EQ(now, Position(0, 0));
      wrapped = true;
    }
    last = now;
  }
  EXPECT_TRUE(wrapped);
  EXPECT_GT(duration, 240.0);
  openmpt_module_set_repeat_count(mod, 0);
}

}  // namespace
