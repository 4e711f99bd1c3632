// The whole show, headless, through tarnwick-render: the script against the real module.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "host/script.h"
#include "tests/render_harness.h"

namespace {

struct LogLine {
  std::string kind;  // scene, event or end
  uint32_t index = 0;
  std::string name;
  uint32_t pass = 0;
  uint32_t order = 0;
  uint32_t row = 0;
};

std::vector<LogLine> read_log(const std::string& path) {
  std::vector<LogLine> lines;
  std::ifstream in(path);
  std::string text;
  while (std::getline(in, text)) {
    std::istringstream words(text);
    LogLine line;
    std::string pass_word, pos_word, pos;
    words >> line.kind;
    if (line.kind == "end") {
      words >> pass_word >> line.pass;
    } else {
      words >> line.index;
      if (line.kind == "event") words >> line.name;
      words >> pass_word >> line.pass >> pos_word >> pos;
      std::sscanf(pos.c_str(), "%u,%u", &line.order, &line.row);
    }
    lines.push_back(line);
  }
  return lines;
}

std::vector<LogLine> render_log(const std::string& options, int* exit_code) {
  const std::string path = test_support::scratch_name("show", ".log");
  *exit_code = test_support::run_render("--log " + path + " " + options);
  std::vector<LogLine> lines = read_log(path);
  std::remove(path.c_str());
  return lines;
}

// Every scene switch and every event at its exact position, in table order, then the end.
void expect_whole_script(const std::vector<LogLine>& log) {
  uint32_t next_scene = 1;
  uint32_t next_event = 0;
  uint32_t last_pass = 0;
  for (const LogLine& line : log) {
    EXPECT_GE(line.pass, last_pass);
    last_pass = line.pass;
    if (line.kind == "scene") {
      ASSERT_EQ(line.index, next_scene);
      EXPECT_EQ(line.order, scene_table[next_scene].start_order);
      EXPECT_EQ(line.row, scene_table[next_scene].start_row);
      ++next_scene;
    } else if (line.kind == "event") {
      ASSERT_EQ(line.index, next_event);
      const EventRow& e = event_table[next_event];
      EXPECT_EQ(line.order, e.order) << "event " << next_event;
      EXPECT_EQ(line.row, e.row) << "event " << next_event;
      EXPECT_EQ(line.name, event_callback_name(e.callback));
      ++next_event;
    }
  }
  EXPECT_EQ(next_scene, scene_row_count);
  EXPECT_EQ(next_event, event_row_count);
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.back().kind, "end");
  EXPECT_EQ(log.back().pass, log[log.size() - 2].pass) << "the end screen's pass is the last";
}

// The whole show at 60 Hz, rendered once for every test that needs it.
const std::vector<LogLine>& normal_show(int* exit_code) {
  static int code = -1;
  static const std::vector<LogLine> log = render_log("", &code);
  *exit_code = code;
  return log;
}

TEST(FullShow, EveryScriptPositionInOrderThenTheEnd) {
  int exit_code = -1;
  const std::vector<LogLine>& log = normal_show(&exit_code);
  EXPECT_EQ(exit_code, 0);
  expect_whole_script(log);
}

TEST(FullShow, SameScriptAtAnotherDisplayRate) {
  int exit_code = -1;
  const std::vector<LogLine> log = render_log("--rate 50", &exit_code);
  EXPECT_EQ(exit_code, 0);
  expect_whole_script(log);
}

TEST(FullShow, EscapeEndsBeforeThatPassWithExitCodeZero) {
  int exit_code = -1;
  const std::vector<LogLine> log = render_log("--escape-at 500", &exit_code);
  EXPECT_EQ(exit_code, 0);
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.back().kind, "end");
  EXPECT_EQ(log.back().pass, 499u);
}

TEST(FullShow, EscapeBeforeTheFirstPassRunsNoPass) {
  int exit_code = -1;
  const std::vector<LogLine> log = render_log("--escape-at 1", &exit_code);
  EXPECT_EQ(exit_code, 0);
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].pass, 0u);
}

TEST(FullShow, WhileInactiveTheLoopOnlyWaitsAndTheMusicPlaysOn) {
  int exit_code = -1;
  const std::vector<LogLine> normal = render_log("--escape-at 1700", &exit_code);
  ASSERT_GE(normal.size(), 2u);
  // One second without drawing, at a time when no script position falls.
  const std::vector<LogLine> paused = render_log("--inactive 20.1-21.1 --escape-at 1640", &exit_code);
  EXPECT_EQ(exit_code, 0);
  ASSERT_EQ(paused.size(), normal.size()) << "the same music position at the escape";
  for (size_t i = 0; i + 1 < normal.size(); ++i) {
    EXPECT_EQ(paused[i].order, normal[i].order);
    EXPECT_EQ(paused[i].row, normal[i].row);
    if (normal[i].pass > 21.2 * 60) {
      EXPECT_NEAR(paused[i].pass + 60.0, normal[i].pass, 1.0) << i;
    }
  }
}

TEST(FullShow, AMissedEndPositionEndsTheShowWhenTheModuleComesRound) {
  int exit_code = -1;
  const std::vector<LogLine>& normal = normal_show(&exit_code);
  ASSERT_GE(normal.size(), 2u);
  const double end_seconds = normal[normal.size() - 2].pass / 60.0;
  char inactive[64];
  std::snprintf(inactive, sizeof inactive, "--inactive %.2f-%.2f", end_seconds - 0.5, end_seconds + 0.5);
  const std::vector<LogLine> log = render_log(inactive, &exit_code);
  EXPECT_EQ(exit_code, 0);
  ASSERT_GE(log.size(), 2u);
  const LogLine& last_switch = log[log.size() - 2];
  EXPECT_EQ(last_switch.kind, "scene");
  EXPECT_EQ(last_switch.index, scene_row_count) << "the terminating row";
  EXPECT_EQ(last_switch.order, 0u);
  EXPECT_EQ(last_switch.row, 0u);
  EXPECT_EQ(log.back().kind, "end");
}

}  // namespace
