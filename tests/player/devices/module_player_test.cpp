// The module player over two devices the test controls and a clock it moves: a device lost and
// another found, the silent clock between them, the heard position never going back, a new
// default output followed whenever it comes, and silence that costs a poll nothing however long.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/counter.h"
#include "platform/device_opener.h"
#include "platform/module_stream.h"
#include "platform/music.h"
#include "platform/music_device.h"

namespace {

constexpr int64_t row_frames = 4410;  // the show's module: speed 6 at tempo 150, 0.1 s a row
constexpr int64_t ms = 1000000;

int64_t clock_ns = 0;

struct FakeDevice {
  bool opens = true;
  bool lost = false;
  bool output_changes_while_opening = false;  // the system's word comes while it opens
  int64_t heard = 0;                          // what it says is heard, relative to the frame it started with
  int64_t first_frame = -1;
  int64_t pulled = 0;  // frames rendered since it started
  int32_t starts = 0;
  int32_t closes = 0;
  int16_t buffer[2 * 512];
  void pull(int32_t frames) { module_player_render(buffer, frames); }
};
FakeDevice a, b;

template <FakeDevice& d>
bool fake_open(char* error, size_t size) {
  std::snprintf(error, size, "%s refused", &d == &a ? "first" : "second");
  if (d.output_changes_while_opening) module_player_default_output_changed();
  d.output_changes_while_opening = false;
  return d.opens;
}
template <FakeDevice& d>
void fake_start(uint64_t first_frame) {
  d.first_frame = static_cast<int64_t>(first_frame);
  d.heard = d.pulled = 0;
  ++d.starts;
}
template <FakeDevice& d>
void fake_close() {
  ++d.closes;
}
template <FakeDevice& d>
bool fake_heard(int64_t* frame) {
  *frame = d.first_frame + d.heard;
  return !d.lost;
}

const MusicDevice device_a = {"first", fake_open<a>, fake_start<a>, fake_close<a>, fake_heard<a>};
const MusicDevice device_b = {"second", fake_open<b>, fake_start<b>, fake_close<b>, fake_heard<b>};

// Rows from the module's start, as the script would count them in the first orders.
int64_t heard_row(MusicHandle music) {
  const MusicPosition position = music_unpack_position(music_position(music));
  int64_t rows = position.row;
  for (int32_t order = 0; order < static_cast<int32_t>(position.order); ++order)
    rows += music_pattern_rows(music, order);
  return rows;
}

class ModulePlayer : public ::testing::Test {
 protected:
  void SetUp() override {
    a = FakeDevice{};
    b = FakeDevice{};
    clock_ns = 0;
    ASSERT_TRUE(music_init_device()) << music_last_error();
    music = music_load("tarnwick.it");
    ASSERT_NE(music, 0u) << music_last_error();
    ASSERT_TRUE(music_play(music));
  }
  void TearDown() override { music_free(); }
  // The device renders what it will play, the listener being `ahead` frames behind.
  void device_plays(FakeDevice& d, int64_t heard) {
    for (; d.pulled < heard + 2048; d.pulled += 512) d.pull(512);
    d.heard = heard;
  }
  // One poll; where it handed the devices to the opener, also the poll that takes what it found,
  // at the same time (the opener works on a thread of its own).
  int64_t poll() {
    const int64_t row = heard_row(music);
    if (!device_opener_busy()) return row;
    EXPECT_TRUE(device_opener_wait(10000 * ms));
    return heard_row(music);
  }
  // Time passing with the main loop's polls, one every 50 ms; the row heard at the end.
  int64_t pass_time(int64_t milliseconds) {
    for (int64_t passed = 0; passed < milliseconds; passed += 50) {
      clock_ns += 50 * ms;
      poll();
    }
    return poll();
  }
  MusicHandle music = 0;
};

TEST_F(ModulePlayer, ALostDeviceGoesSilentInRealTimeAndTheNextOneGoesOnWithoutGoingBack) {
  EXPECT_EQ(a.starts, 1);  // the first device of the list that opens
  device_plays(a, 10 * row_frames + row_frames / 2);
  EXPECT_EQ(heard_row(music), 10);

  // Lost, and nothing opens: the position follows the clock from where the device was.
  a.lost = true;
  a.opens = b.opens = false;
  testing::internal::CaptureStderr();
  EXPECT_EQ(poll(), 10);
  EXPECT_EQ(pass_time(1500), 25);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Audio device lost: opening the default output again\n"
            "No audio device (second refused): playing silently, trying again every 2 seconds\n");

  // Not before 2 s does it try again; then the second device takes the stream from the frame the
  // silence had rendered to, and while its own buffer fills the position holds instead of going back.
  b.opens = true;
  EXPECT_EQ(pass_time(400), 29);
  EXPECT_EQ(b.starts, 0);
  testing::internal::CaptureStderr();
  EXPECT_EQ(pass_time(100), 30);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Audio device back: the music plays on\n");
  EXPECT_EQ(b.starts, 1);
  EXPECT_EQ(b.first_frame, 30 * row_frames + row_frames / 2 + 1);
  b.heard = -4096;  // the new device's queue: what it says is heard lies behind the silence
  EXPECT_EQ(poll(), 30);
  device_plays(b, 5 * row_frames);
  EXPECT_EQ(poll(), 35);

  // A start-up that fails frees the music before it says why: the reason survives the closing.
  EXPECT_EQ(music_load("no-such-module.it"), 0u);
  const std::string reason = music_last_error();
  EXPECT_NE(reason, "");
  music_free();
  EXPECT_EQ(music_last_error(), reason);
}

TEST_F(ModulePlayer, ADeviceLostWhileAnotherOpensPlaysOnAtOnceAndAClockJumpBackIsHeld) {
  device_plays(a, 3 * row_frames + 100);
  a.lost = true;
  testing::internal::CaptureStderr();
  EXPECT_EQ(poll(), 3);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Audio device lost: opening the default output again\nAudio device back: the music plays on\n");
  // a opened again (it is first in the list) and goes on from the frames rendered so far.
  EXPECT_EQ(a.starts, 2);
  a.lost = false;
  device_plays(a, 8 * row_frames);
  const int64_t row = heard_row(music);
  a.heard -= 4 * row_frames;  // a device whose timing jumps back
  EXPECT_EQ(heard_row(music), row);
}

TEST_F(ModulePlayer, TheDefaultOutputChangingMovesTheStreamToItFromTheFrameReachedWithoutGoingBack) {
  device_plays(a, 20 * row_frames + row_frames / 2);
  EXPECT_EQ(heard_row(music), 20);
  const int64_t rendered = a.pulled;

  // Said from another thread; acted on at the next poll, once, with one line.
  module_player_default_output_changed();
  EXPECT_EQ(a.closes, 0);
  testing::internal::CaptureStderr();
  EXPECT_EQ(poll(), 20);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Default audio output changed: the music plays on through it\n");
  EXPECT_EQ(a.closes, 1);
  EXPECT_EQ(a.starts, 2);              // the first of the list: the new default
  EXPECT_EQ(a.first_frame, rendered);  // no frame rendered twice, none skipped in the stream
  a.heard = -2048;                     // its queue still filling: the position holds
  EXPECT_EQ(heard_row(music), 20);
  const int64_t mid_row = row_frames / 2 - rendered % row_frames;  // away from the rows' edges
  device_plays(a, 2 * row_frames + mid_row);
  EXPECT_EQ(heard_row(music), rendered / row_frames + 2);
  testing::internal::CaptureStderr();
  EXPECT_EQ(poll(), rendered / row_frames + 2);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(a.starts, 2);

  // A change when nothing opens: the silent clock from the frame reached, the lines of a lost device.
  const int64_t row = heard_row(music);
  a.opens = b.opens = false;
  module_player_default_output_changed();
  testing::internal::CaptureStderr();
  EXPECT_EQ(poll(), row);
  EXPECT_EQ(pass_time(1000), row + 10);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "No audio device (second refused): playing silently, trying again every 2 seconds\n");

  // Silent, told of a change (a paused output running again): tried at the next poll, long before
  // the retry, and the stream goes on from where the silence is.
  a.opens = true;
  clock_ns += 100 * ms;
  testing::internal::CaptureStderr();
  module_player_default_output_changed();
  EXPECT_EQ(heard_row(music), row + 11);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Audio device back: the music plays on\n");
  EXPECT_EQ(a.starts, 3);
  EXPECT_EQ(heard_row(music), row + 11);
}

TEST_F(ModulePlayer, ANewDefaultOutputDuringTheSplashOrWhileTheDeviceOpensIsFollowed) {
  // During the splash: the device opened before it, the change comes before the music plays.
  music_free();
  a = FakeDevice{};
  ASSERT_TRUE(music_init_device());
  module_player_default_output_changed();
  music = music_load("tarnwick.it");
  ASSERT_TRUE(music_play(music));
  EXPECT_EQ(a.starts, 1);
  testing::internal::CaptureStderr();
  EXPECT_EQ(poll(), 0);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Default audio output changed: the music plays on through it\n");
  EXPECT_EQ(a.closes, 1);
  EXPECT_EQ(a.starts, 2);

  // While the device opens again after a loss, the system says the default changed once more:
  // the device that opened may be the old default, so it is followed at the next poll, once.
  device_plays(a, 4 * row_frames);
  a.lost = true;
  a.output_changes_while_opening = true;
  testing::internal::CaptureStderr();
  EXPECT_EQ(poll(), 4);
  a.lost = false;
  EXPECT_EQ(a.starts, 3);
  EXPECT_EQ(poll(), 4);
  EXPECT_EQ(pass_time(200), 4);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Audio device lost: opening the default output again\nAudio device back: the music plays on\n"
            "Default audio output changed: the music plays on through it\n");
  EXPECT_EQ(a.starts, 4);
  EXPECT_EQ(a.closes, 3);
}

TEST_F(ModulePlayer, ALongSilenceCostsAPollOnlyASliceAndTheSilentClockHoldsAtAHundredHours) {
  device_plays(a, 2 * row_frames + row_frames / 2);
  a.lost = true;
  a.opens = b.opens = false;
  testing::internal::CaptureStderr();
  EXPECT_EQ(poll(), 2);

  // Two minutes with the window inactive: the loop looks after the music four times a second,
  // and the silence is rendered as it goes, so the first poll back has next to nothing to do.
  for (int32_t wake = 0; wake < 120 * 4; ++wake) {
    clock_ns += 250 * ms;
    music_look_after(music);
  }
  const int64_t rendered_away = static_cast<int64_t>(module_stream_frames_rendered());
  EXPECT_GE(rendered_away, 120 * 44100 + 2 * row_frames);
  clock_ns += 16 * ms;
  EXPECT_EQ(poll(), 2 + 1200);
  EXPECT_LE(static_cast<int64_t>(module_stream_frames_rendered()) - rendered_away, 44100 / 20);

  // The machine asleep for a hundred hours, the counter counting it: the poll after it renders a
  // slice only, the arithmetic stays in range, and the music goes on in real time from where it was.
  const int64_t before_sleep = static_cast<int64_t>(module_stream_frames_rendered());
  clock_ns += 100 * 3600 * 1000 * ms;
  const int64_t row = heard_row(music);
  EXPECT_GE(row, 1202);
  EXPECT_LE(row, 1202 + 10);
  EXPECT_LE(static_cast<int64_t>(module_stream_frames_rendered()) - before_sleep, 44100 / 2);
  EXPECT_EQ(pass_time(1000), 1202 + 20);  // the second it may run ahead, and this one
  EXPECT_EQ(pass_time(1000), 1202 + 30);
  testing::internal::GetCapturedStderr();
}

}  // namespace

const MusicDevice* const music_devices[] = {&device_a, &device_b};
const int32_t music_device_count = 2;

int64_t counter_frequency() { return 1000000000; }
int64_t counter_now() { return clock_ns; }
