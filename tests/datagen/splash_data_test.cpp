// The title picture, its palette and the side bar as the show loads them from tarnwick.dat.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include <unistd.h>

#include "tests/render_harness.h"

namespace {

// Extracts name from the archive exactly as the show would load it.
std::vector<uint8_t> load(const std::string& name) {
  const std::string out = "/tmp/tarnwick-splash-test-" + std::to_string(getpid()) + "-" + name;
  const std::string command = "./tarnwick-pack extract tarnwick.dat " + name + " " + out + " > /dev/null";
  if (std::system(command.c_str()) != 0) return {};
  return test_support::read_file(out);
}

int brightness(const std::vector<uint8_t>& palette, int index) {
  return palette[3 * index] * 2 + palette[3 * index + 1] * 4 + palette[3 * index + 2];
}

}  // namespace

TEST(SplashData, PictureAndPaletteHaveTheShowsLayout) {
  const std::vector<uint8_t> picture = load("splash.bin");
  const std::vector<uint8_t> palette = load("splash.pal");
  ASSERT_EQ(picture.size(), 64000u);
  ASSERT_EQ(palette.size(), 768u);
  EXPECT_LE(*std::max_element(palette.begin(), palette.end()), 63);
  // A rich picture: most of the palette is in use, from near black to near white.
  const std::set<uint8_t> used(picture.begin(), picture.end());
  EXPECT_GT(used.size(), 200u);
  int darkest = 1 << 20, brightest = 0;
  for (uint8_t i : used) {
    darkest = std::min(darkest, brightness(palette, i));
    brightest = std::max(brightest, brightness(palette, i));
  }
  EXPECT_LT(darkest, 7 * 6);
  EXPECT_GT(brightest, 7 * 56);
}

TEST(SplashData, SideBarIsBrightnessBelowTheCaptionsWhite) {
  const std::vector<uint8_t> bar = load("sidebar.bin");
  ASSERT_EQ(bar.size(), 6400u);
  const auto [lo, hi] = std::minmax_element(bar.begin(), bar.end());
  EXPECT_LT(*lo, 40);
  EXPECT_GT(*hi, 150);
  EXPECT_LE(*hi, 224);  // highlights stay well short of 255, the captions' body colour
}

TEST(SplashData, GeneratorIsDeterministic) {
  const std::string base = "/tmp/tarnwick-splash-" + std::to_string(getpid());
  const std::string a = base + "-a", b = base + "-b";
  for (const std::string& dir : {a, b}) {
    const std::string command = "mkdir -p " + dir + " && " MAKE_SPLASH_PATH " " + dir + "/splash.bin " + dir +
                                "/splash.pal " + dir + "/sidebar.bin";
    ASSERT_EQ(std::system(command.c_str()), 0);
  }
  for (const char* name : {"/splash.bin", "/splash.pal", "/sidebar.bin"}) {
    const std::vector<uint8_t> first = test_support::read_file(a + name);
    EXPECT_FALSE(first.empty()) << name;
    EXPECT_EQ(first, test_support::read_file(b + name)) << name;
    // And the build put the same bytes into the archive.
    EXPECT_EQ(first, load(std::string(name).substr(1))) << name;
  }
}
