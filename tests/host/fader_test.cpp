// Palette fades, the splash's present count and the mirrored side bars.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "display/display.h"
#include "host/fader.h"
#include "host/show_state.h"
#include "host/splash.h"
#include "platform/headless/headless.h"

namespace {

std::vector<uint8_t> filled(uint8_t value) { return std::vector<uint8_t>(768, value); }

// The display's palette upload as the fader left it, back in 6-bit components.
uint8_t uploaded_component(int i) {
  const PaletteEntry& e = palette_entries[i / 3];
  const uint8_t c[3] = {e.red, e.green, e.blue};
  return c[i % 3] >> 2;
}

TEST(Blend, TheShiftBySixReproducesNeitherPalette) {
  const auto black = filled(0), white = filled(63);
  blend_palette(black.data(), white.data(), 0);
  EXPECT_EQ(fade_output[0], 0);
  blend_palette(black.data(), white.data(), 62);
  EXPECT_EQ(fade_output[767], 61);
  blend_palette(white.data(), black.data(), 0);
  EXPECT_EQ(fade_output[5], 62);
  blend_palette(white.data(), black.data(), 62);
  EXPECT_EQ(fade_output[5], 0);
  EXPECT_EQ(uploaded_component(5), 0);
}

TEST(Blend, MixesEachComponentOnItsOwn) {
  std::vector<uint8_t> from(768), to(768);
  for (int i = 0; i < 768; ++i) {
    from[i] = static_cast<uint8_t>(i % 64);
    to[i] = static_cast<uint8_t>(63 - i % 64);
  }
  blend_palette(from.data(), to.data(), 20);
  for (int i = 0; i < 768; ++i) ASSERT_EQ(fade_output[i], (20 * to[i] + 43 * from[i]) / 64) << i;
}

class Fade : public ::testing::Test {
 protected:
  std::vector<uint8_t> start = filled(63), target = filled(32);
  void SetUp() override {
    current_palette = start.data();
    fade_target = target.data();
    fade_pending = 1;
    fade_step = 0;
  }
};

TEST_F(Fade, EndsAfterSixtyThreeStepsAtTheTargetWithLevel62Uploaded) {
  for (int i = 0; i < 62; ++i) fade_step_once();
  EXPECT_EQ(fade_pending, 1);
  fade_step_once();
  EXPECT_EQ(fade_pending, 0);
  EXPECT_EQ(fade_step, 0u);
  EXPECT_EQ(current_palette, target.data());
  EXPECT_EQ(fade_output[0], (62 * 32 + 1 * 63) >> 6);  // 31, not the target's 32
}

TEST_F(Fade, ToBlackDuringAFadeCarriesOnFromItsLevel) {
  for (int i = 0; i < 40; ++i) fade_step_once();
  on_fade_to_black();
  EXPECT_EQ(fade_target, black_palette);
  EXPECT_EQ(fade_step, 40u);
  int steps = 0;
  while (fade_pending) {
    fade_step_once();
    ++steps;
  }
  EXPECT_EQ(steps, 23);
  EXPECT_EQ(current_palette, black_palette);
  EXPECT_EQ(fade_output[0], 0);
}

TEST(SideBars, RightBarMirrorsTheLeft) {
  std::vector<uint8_t> bar(32 * 200), frame(64000, 7);
  for (size_t i = 0; i < bar.size(); ++i) bar[i] = static_cast<uint8_t>(i * 13 + 1);
  uint8_t* saved = sidebar_picture;
  sidebar_picture = bar.data();
  draw_side_bars(frame.data());
  sidebar_picture = saved;
  for (int y = 0; y < 200; ++y) {
    EXPECT_EQ(frame[y * 320 + 0], bar[y * 32 + 0]);
    EXPECT_EQ(frame[y * 320 + 319], bar[y * 32 + 0]);
    EXPECT_EQ(frame[y * 320 + 288], bar[y * 32 + 31]);
    EXPECT_EQ(frame[y * 320 + 31], bar[y * 32 + 31]);
    EXPECT_EQ(frame[y * 320 + 32], 7);
    EXPECT_EQ(frame[y * 320 + 287], 7);
  }
}

}  // namespace
