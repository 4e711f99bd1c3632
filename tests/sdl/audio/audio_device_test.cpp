// The audio device going away mid-show, under SDL's dummy driver: the module plays on from where
// it was, in real time, through a new device or silently while none opens, and the script goes on.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "host/script.h"
#include "host/show_state.h"
#include "platform/music.h"
#include "platform/sdl/sdl_internal.h"
#include "tools/datagen/music/song.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr double row_seconds = 2.5 / music::kTempo * music::kSpeed;  // every row of the show's module

// Every poll: when it was made (seconds from the first) and where in the module it heard.
struct Poll {
  double at;
  int64_t row;  // rows from the module's start
};

class AudioDevice : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    ASSERT_TRUE(music_init_device()) << music_last_error();
    music = music_load("tarnwick.it");
    ASSERT_NE(music, 0u) << music_last_error();
    for (int32_t order = 0, rows = 0; order < music_order_count(music); ++order) {
      first_row.push_back(rows);
      rows += music_pattern_rows(music, order);
    }
    ::testing::internal::CaptureStderr();
    ASSERT_TRUE(music_play(music));
    start = Clock::now();
  }
  void TearDown() override {
    music_free();
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (!stderr_taken) ::testing::internal::GetCapturedStderr();
  }
  std::string lines() {
    stderr_taken = true;
    return ::testing::internal::GetCapturedStderr();
  }
  double seconds() const { return std::chrono::duration<double>(Clock::now() - start).count(); }
  // Polls every 2 ms until `until` seconds after play, as the main loop does every pass.
  void poll_until(double until) {
    while (seconds() < until) {
      const MusicPosition at = music_unpack_position(music_position(music));
      polls.push_back({seconds(), first_row[at.order] + at.row});
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
  }
  void remove_device() {
    SDL_Event event = {};
    event.type = SDL_AUDIODEVICEREMOVED;
    event.adevice.which = sdl_audio_device();
    ASSERT_NE(event.adevice.which, 0u);
    ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
  }
  // The heard position moves on a row at a time and keeps the clock's pace: it never runs ahead
  // of the time since it left row 0, nor more than a row behind it. SDL's dummy driver keeps time
  // by sleeping a buffer's length after each one, so on a busy machine it falls a little behind:
  // 5 % of the time, and some scheduling slack, are allowed for that.
  void expect_continuous_real_time() {
    ASSERT_GT(polls.size(), 100u);
    size_t moved = 0;
    while (moved < polls.size() && polls[moved].row == 0) ++moved;
    ASSERT_LT(moved, polls.size()) << "the module never left its first row";
    const double origin = polls[moved].at - row_seconds;
    for (size_t i = moved; i < polls.size(); ++i) {
      ASSERT_GE(polls[i].row, polls[i - 1].row) << "went back at " << polls[i].at << " s";
      // A loaded machine may leave a poll waiting longer than a row: only then may one be passed.
      if (polls[i].at - polls[i - 1].at < row_seconds)
        ASSERT_LE(polls[i].row - polls[i - 1].row, 1) << "skipped a row at " << polls[i].at << " s";
      const double ahead = polls[i].row * row_seconds - (polls[i].at - origin);
      ASSERT_LT(ahead, 0.1) << "ahead of the clock at " << polls[i].at << " s";
      ASSERT_GT(ahead, -row_seconds - 0.1 - 0.05 * polls[i].at) << "behind the clock at " << polls[i].at << " s";
    }
  }

  MusicHandle music = 0;
  std::vector<int64_t> first_row;
  Clock::time_point start;
  std::vector<Poll> polls;
  bool stderr_taken = false;
};

TEST_F(AudioDevice, TheDefaultOutputOpensAgainAndTheModuleGoesOnFromWhereItWas) {
  poll_until(1.0);
  remove_device();
  poll_until(2.5);
  EXPECT_NE(sdl_audio_device(), 0u);
  EXPECT_EQ(SDL_GetAudioDeviceStatus(sdl_audio_device()), SDL_AUDIO_PLAYING);
  EXPECT_EQ(lines(), "Audio device lost: opening the default output again\nAudio device back: the music plays on\n");
  expect_continuous_real_time();
}

// A device whose thread stops calling back without SDL saying so (a sound server that stalled
// holds it): lost within a second, and the default output opened again.
TEST_F(AudioDevice, ADeviceThatStopsCallingBackIsLostWithinASecondAndOpenedAgain) {
  poll_until(0.5);
  SDL_PauseAudioDevice(sdl_audio_device(), 1);
  const double stopped = seconds();
  const int64_t row_stopped = polls.back().row;
  while (seconds() < stopped + 3 && SDL_GetAudioDeviceStatus(sdl_audio_device()) != SDL_AUDIO_PLAYING)
    poll_until(seconds() + 0.01);
  EXPECT_LT(seconds() - stopped, 1.5);
  EXPECT_EQ(SDL_GetAudioDeviceStatus(sdl_audio_device()), SDL_AUDIO_PLAYING);
  poll_until(stopped + 2.0);
  EXPECT_EQ(lines(), "Audio device lost: opening the default output again\nAudio device back: the music plays on\n");
  // The stalled device holds where it stopped, then the new one goes on: the position never goes
  // back nor skips a row (the pace of SDL's dummy driver is the other tests' matter).
  for (size_t i = 1; i < polls.size(); ++i) {
    ASSERT_GE(polls[i].row, polls[i - 1].row) << "went back at " << polls[i].at << " s";
    ASSERT_LE(polls[i].row - polls[i - 1].row, 1) << "skipped a row at " << polls[i].at << " s";
  }
  EXPECT_GE(polls.back().row, row_stopped + 5);
}

TEST_F(AudioDevice, WithoutADeviceTheModuleGoesOnSilentlyAndTheScriptStillFires) {
  scene_index = 0;
  event_index = 0;
  event_hold = 0;
  poll_until(0.5);
  setenv("SDL_AUDIODRIVER", "no-such-driver", 1);  // nothing can be opened again
  remove_device();
  poll_until(2.0);
  EXPECT_EQ(sdl_audio_device(), 0u);
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  poll_until(5.0);  // a retry comes within its interval
  EXPECT_NE(sdl_audio_device(), 0u);
  const std::string said = lines();
  EXPECT_EQ(said.substr(0, said.find('(')), "Audio device lost: opening the default output again\nNo audio device ");
  EXPECT_NE(said.find("): playing silently, trying again every 2 seconds\nAudio device back: the music plays on\n"),
            std::string::npos)
      << said;
  // Lose it again for good: the script still reaches its first event, at (1, 0), silently.
  ::testing::internal::CaptureStderr();
  stderr_taken = false;
  setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  remove_device();
  const double event_due = first_row[1] * row_seconds * 1.05 + 0.5;
  while (event_index == 0 && seconds() < event_due) {
    poll_until(seconds() + 0.01);
    sync_to_music(music);
  }
  EXPECT_EQ(event_index, 1u) << "no event by " << seconds() << " s";
  EXPECT_EQ(sdl_audio_device(), 0u);
  const std::string again = lines();
  EXPECT_EQ(again.substr(0, again.find('(')), "Audio device lost: opening the default output again\nNo audio device ");
  EXPECT_EQ(std::count(again.begin(), again.end(), '\n'), 2) << again;
  expect_continuous_real_time();
}

}  // namespace
