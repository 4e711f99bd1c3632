// Display failures met by the whole show: each failing step shows one popup with its documented
// text and the backend's reason, and the show ends with exit code 1. Each case runs the show
// in a child process (a death test), since the show's state lives in statics.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "host/show_state.h"
#include "host/startup.h"
#include "platform/headless/headless.h"
#include "platform/video.h"

namespace {

constexpr int32_t e_nointerface = static_cast<int32_t>(0x80004002u);
constexpr uint64_t splash_presents = 2 + 1 + 63 + 280 + 63;

std::string escaped_newlines(const std::string& text) {
  std::string out;
  for (const char c : text) out += c == '\n' ? std::string("\\n") : std::string(1, c);
  return out;
}

// Runs the show, writes what the user met to standard error and exits with the show's code.
[[noreturn]] void run_show_and_report() {
  const int32_t exit_code = show_main();
  std::fprintf(stderr, "\nshow ended: presents=%llu active_passes=%u popups=%zu\n",
               static_cast<unsigned long long>(headless_present_count()), active_passes, headless_popups().size());
  for (const HeadlessPopup& popup : headless_popups())
    std::fprintf(stderr, "popup [%s] [%s]\n", popup.title.c_str(), escaped_newlines(popup.text).c_str());
  std::fflush(stderr);
  std::exit(exit_code);
}

// A POSIX extended regular expression matching text literally.
std::string literal(const std::string& text) {
  std::string out;
  for (const char c : text) {
    if (std::string("\\^$.|?*+()[]{}").find(c) != std::string::npos) out += '\\';
    out += c;
  }
  return out;
}

std::string report(uint64_t presents, uint32_t active_passes, size_t popups) {
  return literal("show ended: presents=" + std::to_string(presents) +
                 " active_passes=" + std::to_string(active_passes) + " popups=" + std::to_string(popups) + "\n");
}

// The one popup: the window's title, the documented text, then the backend's reason.
std::string popup(const std::string& documented_text) {
  return literal("popup [TORVAN TEST PROGRAM] [" + documented_text + "\\n\\n" + video_last_error() + "]\n");
}

void fail_step(HeadlessVideoStep step, int32_t code) {
  headless_reset();
  headless_fail_video(step, code);
}

struct FlipFailure {
  uint64_t present;
  int32_t code;
};

// Starts failing every flip from the given present on, as a display that got lost would.
void fail_flips_from(uint64_t present_number, int32_t code) {
  static FlipFailure failure;
  failure = {present_number, code};
  headless_reset();
  headless_set_present_hook(
      [](const uint8_t*, int32_t, const PaletteEntry*, uint64_t number, void* context) {
        const FlipFailure& f = *static_cast<const FlipFailure*>(context);
        if (number == f.present) headless_fail_video(HeadlessVideoStep::flip, f.code);
      },
      &failure);
}

// Each step of opening the display, failing: start-up ends with that step's popup.
struct OpeningFailure {
  HeadlessVideoStep step;
  int32_t code;
  const char* documented_text;
};
const OpeningFailure opening_failures[] = {
    {HeadlessVideoStep::open, video_code::no_device,
     "DirectDraw support is not possible with the current display driver. "},
    {HeadlessVideoStep::enum_modes, video_code::generic, "There is an undefined error condition. "},
    {HeadlessVideoStep::set_mode, video_code::invalid_mode, "DirectDraw does not support the requested mode. "},
    {HeadlessVideoStep::create_surfaces, video_code::out_of_video_memory,
     "DirectDraw does not have enough display memory to perform the operation. "},
    {HeadlessVideoStep::create_palette, video_code::no_palette_hw,
     "There is no hardware support for 16- or 256-color palettes. "},
};

TEST(DisplayFailureDeathTest, EachFailingStepOfOpeningEndsStartUpWithItsPopup) {
  for (const OpeningFailure& failure : opening_failures) {
    SCOPED_TRACE(failure.documented_text);
    EXPECT_EXIT(
        {
          fail_step(failure.step, failure.code);
          run_show_and_report();
        },
        ::testing::ExitedWithCode(1), report(0, 0, 1) + popup(failure.documented_text));
  }
}

const VideoMode modes_without_320x200x8[] = {{640, 480, 8, 0, 0, 0}, {320, 200, 32, 0xFF0000, 0xFF00, 0xFF}};

TEST(DisplayFailureDeathTest, AMissingModeEndsStartUpWithoutAPopup) {
  EXPECT_EXIT(
      {
        headless_reset();
        headless_set_modes(modes_without_320x200x8, 2);
        run_show_and_report();
      },
      ::testing::ExitedWithCode(1), report(0, 0, 0));
}

const char* const surface_lost_text =
    "Access to the surface is refused because the surface memory is gone. Call the "
    "IDirectDrawSurface7::Restore method on this surface to restore the memory associated with "
    "it. ";

// The splash stops at its first failed present; the music never starts.
TEST(DisplayFailureDeathTest, APresentFailingInTheSplashEndsStartUp) {
  EXPECT_EXIT(
      {
        fail_step(HeadlessVideoStep::flip, video_code::surface_lost);
        run_show_and_report();
      },
      ::testing::ExitedWithCode(1),
      literal("Can't show the display: " + std::string(video_last_error()) + "\n\n") + report(1, 0, 1) +
          popup(surface_lost_text));
}

// A display lost during the show: one popup, then the show ends as on Escape (no further
// present, no further pass), with exit code 1.
TEST(DisplayFailureDeathTest, APresentFailingInTheShowEndsItAfterOnePopup) {
  EXPECT_EXIT(
      {
        fail_flips_from(splash_presents + 11, video_code::surface_lost);
        run_show_and_report();
      },
      ::testing::ExitedWithCode(1), report(splash_presents + 11, 11, 1) + popup(surface_lost_text));
}

// Failures with a code the table does not know pass as success: no popup, the show goes on
// (here until the Escape that waits at the start of the main loop).
TEST(DisplayFailureDeathTest, UnknownCodesPassAsSuccess) {
  EXPECT_EXIT(
      {
        fail_step(HeadlessVideoStep::create_surfaces, e_nointerface);
        headless_fail_video(HeadlessVideoStep::flip, e_nointerface);
        headless_post_message({MessageKind::key_down, key_escape});
        run_show_and_report();
      },
      ::testing::ExitedWithCode(0), report(splash_presents, 0, 0));
}

}  // namespace
