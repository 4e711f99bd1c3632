// The script: scene switches and events on exact positions, and the hold between events.
#include <gtest/gtest.h>

#include <set>
#include <utility>
#include <vector>

#include "host/script.h"
#include "host/show_state.h"
#include "platform/module_player.h"
#include "scenes/common/fx.h"

namespace {

std::vector<ScriptAction> actions;
void record(const ScriptAction& a) { actions.push_back(a); }

class Script : public ::testing::Test {
 protected:
  void SetUp() override {
    scene_index = 0;
    event_index = 0;
    event_hold = 0;
    actions.clear();
    script_observer = record;
  }
  void TearDown() override {
    script_observer = nullptr;
    module_player_force_position(false, 0);
  }
  // Polls at a position; event callbacks that draw are harmless here.
  void poll(uint32_t order, uint32_t row) {
    module_player_force_position(true, music_pack_position(order, row));
    sync_to_music(music_handle);
  }
  // Puts the script just after event row e, as if it had fired.
  void after_event(uint32_t e) {
    event_index = e + 1;
    event_hold = 1;
  }
};

TEST_F(Script, EventTableHasTheShowsRowsInAscendingOrder) {
  std::set<std::pair<uint32_t, uint32_t>> seen;
  int captions = 0, beats = 0, toggles = 0, fades = 0;
  for (uint32_t i = 0; i < event_row_count; ++i) {
    const EventRow& e = event_table[i];
    const EventRow& before = event_table[static_cast<int32_t>(i) - 1];
    EXPECT_TRUE(e.order > before.order || (e.order == before.order && e.row > before.row)) << i;
    EXPECT_LT(e.row, 63u) << "an event on row 63 would hold the script for good";
    EXPECT_TRUE(seen.insert({e.order, e.row}).second);
    const std::string name = event_callback_name(e.callback);
    captions += name == "on_next_caption";
    beats += name == "on_beat_pulse";
    toggles += name == "on_direction_toggle";
    fades += name == "on_fade_to_black";
  }
  EXPECT_EQ(captions, 16);
  EXPECT_EQ(beats, 96);
  EXPECT_EQ(toggles, 1);
  EXPECT_EQ(fades, 2);
  EXPECT_EQ(event_table[-1].order, 0u);
  EXPECT_EQ(event_table[-1].callback, nullptr);
  EXPECT_EQ(event_table[event_row_count].order, 80u);
  EXPECT_EQ(event_table[event_row_count].row, 1u);
}

TEST_F(Script, SceneRowsStartAtTheirPositions) {
  const uint32_t starts[][2] = {{0, 0}, {9, 0}, {13, 0}, {15, 0}, {17, 0}, {21, 0}, {26, 0}, {43, 32}};
  for (uint32_t i = 0; i < scene_row_count; ++i) {
    EXPECT_EQ(scene_table[i].start_order, starts[i][0]);
    EXPECT_EQ(scene_table[i].start_row, starts[i][1]);
    EXPECT_NE(scene_table[i].draw, nullptr);
  }
  EXPECT_EQ(scene_table[7].draw, end_screen_draw);
  EXPECT_EQ(scene_table[7].update, scene_table[6].update) << "the end row keeps the scroller's update";
}

TEST_F(Script, SwitchResetsTheClockAndFirstFrameInTheSamePoll) {
  scene_index = 0;
  tick_count = 7;
  scene_first_frame = 1;
  after_event(4);  // captions up to (5,0) have fired
  poll(9, 0);
  EXPECT_EQ(scene_index, 1u);
  EXPECT_EQ(tick_count, 0u);
  EXPECT_EQ(scene_first_frame, 0);
  ASSERT_EQ(actions.size(), 1u) << "the caption at (9,0) waits for the release of (5,0)";
  EXPECT_FALSE(actions[0].is_event);
}

TEST_F(Script, TheShowsStartDoesNotEndAnEarlierScene) {
  scene_index = 3;
  poll(0, 0);
  EXPECT_EQ(scene_index, 3u);
}

TEST_F(Script, NearMissesDoNotSwitch) {
  poll(9, 1);
  poll(8, 0);
  poll(0, 9);
  EXPECT_EQ(scene_index, 0u);
  poll(9, 0);
  poll(9, 0);  // at most one switch per poll, and only to the next row
  EXPECT_EQ(scene_index, 1u);
}

TEST_F(Script, ReleaseIsTestedBeforeFiring) {
  after_event(4);  // (5,0) fired
  poll(5, 1);      // releases the hold
  poll(9, 0);      // caption fires, scene switches
  ASSERT_EQ(event_index, 6u);
  poll(9, 1);  // releases (9,0) and fires the beat at (9,1) in the same poll
  EXPECT_EQ(event_index, 7u);
  ASSERT_EQ(actions.size(), 3u);
  EXPECT_STREQ(actions.back().name, "on_beat_pulse");
  EXPECT_EQ(actions.back().row, 1u);
  beat_pulse = 0;
}

TEST_F(Script, EventFiresOncePerPosition) {
  poll(1, 0);
  poll(1, 0);
  poll(1, 0);
  EXPECT_EQ(event_index, 1u);
  EXPECT_EQ(event_hold, 1);
}

TEST_F(Script, AMissedRowHoldsTheRestUntilTheModulePlaysItAgain) {
  after_event(5);  // the caption at (9,0) fired
  poll(9, 2);      // (9,1) was never seen: the hold stays
  poll(9, 6);
  poll(10, 0);
  EXPECT_EQ(event_index, 6u);
  EXPECT_EQ(event_hold, 1);
  poll(0, 0);  // the module loops ...
  poll(9, 1);  // ... and plays (9,1) again
  EXPECT_EQ(event_index, 7u);
  beat_pulse = 0;
}

TEST_F(Script, TheSentinelNeverFires) {
  after_event(event_row_count - 1);
  poll(80, 1);
  poll(80, 1);
  EXPECT_EQ(event_index, event_row_count);
}

TEST_F(Script, MissedEndFallsIntoTheTerminatingRowWhichEndsTheShow) {
  scene_index = scene_row_count - 2;  // the scroller: (43,32) went by unseen
  poll(43, 33);
  EXPECT_EQ(scene_index, scene_row_count - 2);
  poll(0, 0);
  EXPECT_EQ(scene_index, scene_row_count);
  EXPECT_EQ(scene_table[scene_index].draw, end_screen_draw);
  EXPECT_EQ(scene_table[scene_index].update, nullptr);
  poll(0, 0);  // nothing lies beyond it
  EXPECT_EQ(scene_index, scene_row_count);
}

}  // namespace
