// The modes the SDL and web backends emulate through the palette.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/emulated_modes.h"

namespace {

TEST(EmulatedModes, EightBitsUpToTheBackBufferAndNothingElse) {
  char error[96] = "";
  EXPECT_EQ(emulated_mode_check(320, 200, 8, error, sizeof error), video_code::ok);
  EXPECT_EQ(emulated_mode_check(640, 480, 8, error, sizeof error), video_code::ok);
  EXPECT_STREQ(error, "");
  EXPECT_EQ(emulated_mode_check(641, 480, 8, error, sizeof error), video_code::invalid_mode);
  EXPECT_STREQ(error, "641x480 at 8 bits is not offered");
  EXPECT_EQ(emulated_mode_check(640, 481, 8, error, sizeof error), video_code::invalid_mode);
  EXPECT_EQ(emulated_mode_check(320, 200, 16, error, sizeof error), video_code::invalid_mode);
  EXPECT_STREQ(error, "320x200 at 16 bits is not offered");
}

TEST(EmulatedModes, EnumerationOffersEveryModeInOrderAndStopsWhenAsked) {
  std::vector<std::string> seen;
  auto each = [](const VideoMode& mode, void* context) {
    auto* list = static_cast<std::vector<std::string>*>(context);
    list->push_back(std::to_string(mode.width) + "x" + std::to_string(mode.height) + "x" +
                    std::to_string(mode.bits_per_pixel));
    return list->size() < 3;
  };
  EXPECT_EQ(emulated_modes_enum(each, &seen), video_code::ok);
  EXPECT_EQ(seen, (std::vector<std::string>{"320x200x8", "320x240x8", "640x400x8"}));
  for (const VideoMode& mode : emulated_modes) {
    char error[64];
    EXPECT_EQ(emulated_mode_check(mode.width, mode.height, mode.bits_per_pixel, error, sizeof error), video_code::ok);
  }
}

}  // namespace
