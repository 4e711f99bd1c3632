// The module against the script: the show's own module has every position both tables wait for;
// modules built from it without some of them are named in one line, and the show still plays.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "host/script_check.h"
#include "platform/headless/headless.h"
#include "tests/render_harness.h"
#include "tools/datagen/music/song.h"

namespace {

// The line for a module, or "" when it passes.
std::string check(const std::string& path) {
  headless_reset();
  EXPECT_TRUE(music_init_device());
  const MusicHandle music = music_load(path.c_str());
  EXPECT_NE(music, 0u) << path;
  char message[256] = "unset";
  const bool complete = check_script_positions(music, "tarnwick.it", message, sizeof message);
  music_free();
  return complete ? "" : message;
}

class ScriptCheck : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::string problem;
    song_ = new itw::Module(music::compose_song(&problem));
    ASSERT_EQ(problem, "");
  }
  static void TearDownTestSuite() { delete song_; }
  void TearDown() override {
    for (const std::string& path : written_) std::remove(path.c_str());
    headless_reset();
  }
  // The show's module changed by edit, written beside the show data.
  template <typename Edit>
  std::string broken(Edit edit) {
    itw::Module module = *song_;
    edit(module);
    const std::string path = test_support::scratch_name("broken", ".it");
    std::string error;
    EXPECT_TRUE(itw::save_it(module, path, &error)) << error;
    written_.push_back(path);
    return path;
  }
  static void shorten_pattern_at(itw::Module& module, int order, int rows) {
    itw::Pattern& pattern = module.patterns[module.orders[order]];
    pattern.rows = rows;
    pattern.cells.resize(static_cast<size_t>(rows) * pattern.channels);
  }
  static itw::Module* song_;
  std::vector<std::string> written_;
};

itw::Module* ScriptCheck::song_ = nullptr;

TEST_F(ScriptCheck, TheShowsOwnModuleHasEveryPosition) { EXPECT_EQ(check("tarnwick.it"), ""); }

TEST_F(ScriptCheck, MissingOrdersAndShortPatternsAreNamedWithWhatTheShowWillDo) {
  const std::string stuck = "the show cannot reach its end";
  const std::string loops = "the show ends only when the module loops back to its start";
  const std::string events = "the script's events stop there";
  // Cut before the end: the scroller runs on until the module comes round to (0, 0).
  EXPECT_EQ(check(broken([](itw::Module& m) { m.orders.resize(40); })),
            "tarnwick.it has no row 32 in order 43 (the module has 40 orders): " + loops);
  // Cut before a scene's start: that scene never comes, nor anything after it.
  EXPECT_EQ(check(broken([](itw::Module& m) { m.orders.resize(21); })),
            "tarnwick.it has no row 0 in order 21 (the module has 21 orders): " + stuck);
  EXPECT_EQ(check(broken([](itw::Module& m) { shorten_pattern_at(m, 43, 32); })),
            "tarnwick.it has no row 32 in order 43 (its pattern has 32 rows): " + loops);
  // (25, 32) only holds an event; the scenes are all there.
  EXPECT_EQ(check(broken([](itw::Module& m) { shorten_pattern_at(m, 25, 32); })),
            "tarnwick.it has no row 32 in order 25 (its pattern has 32 rows): " + events);
  // A skip marker where a scene starts.
  EXPECT_EQ(check(broken([](itw::Module& m) { m.orders[13] = 254; })),
            "tarnwick.it has no row 0 in order 13 (order 13 plays no pattern): " + stuck);
}

TEST_F(ScriptCheck, TheEventHoldNeedsTheRowAfterEachEvent) {
  // The beat at (12, 62) fires, but its hold waits for (12, 63) to be seen.
  EXPECT_EQ(check(broken([](itw::Module& m) {
              m.patterns.push_back(m.patterns[m.orders[12]]);
              m.orders[12] = static_cast<uint8_t>(m.patterns.size() - 1);
              shorten_pattern_at(m, 12, 63);
            })),
            "tarnwick.it has no row 63 in order 12 (its pattern has 63 rows): the script's events stop there");
}

TEST_F(ScriptCheck, TheShowSaysSoAtStartUpAndPlaysOn) {
  const std::string module = broken([](itw::Module& m) { m.orders.resize(21); });
  const std::filesystem::path bin = std::filesystem::current_path();
  const std::filesystem::path folder = bin / test_support::scratch_name("broken-show", "");
  std::filesystem::create_directory(folder);
  std::filesystem::copy_file(bin / "tarnwick.dat", folder / "tarnwick.dat");
  std::filesystem::copy_file(module, folder / "tarnwick.it");
  std::string output;
  const int code = test_support::run_render("--escape-at 30 --log -", &output, folder.string());
  std::filesystem::remove_all(folder);
  EXPECT_EQ(code, 0) << output;
  EXPECT_NE(output.find("tarnwick.it has no row 0 in order 21 (the module has 21 orders): the show cannot "
                        "reach its end\n"),
            std::string::npos)
      << output;
  EXPECT_NE(output.find("end pass "), std::string::npos) << output;
}

}  // namespace
