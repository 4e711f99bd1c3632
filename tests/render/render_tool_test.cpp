// tarnwick-render's own contract: options, frames written, data dumped, the harness.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <string>

#include "scenes/data_blocks.h"
#include "tests/render_harness.h"
#include "tools/render/render_options.h"

namespace {

using test_support::read_file;
using test_support::run_render;

TEST(RenderOptions, FrameLists) {
  std::vector<FrameRange> ranges;
  ASSERT_TRUE(parse_frame_list("5,10-12,100-200/50", &ranges));
  for (uint64_t f : {5, 10, 11, 12, 100, 150, 200}) EXPECT_TRUE(frame_selected(ranges, f)) << f;
  for (uint64_t f : {4, 6, 13, 101, 199, 250}) EXPECT_FALSE(frame_selected(ranges, f)) << f;
  for (const char* bad : {"", "x", "5-", "9-3", "1-9/0", "5/2", "1,,2", "-3"}) {
    ranges.clear();
    EXPECT_FALSE(parse_frame_list(bad, &ranges)) << bad;
  }
}

TEST(RenderOptions, BadCommandLinesAreRefusedWithUsage) {
  for (const char* args :
       {"--bogus 1", "--rate 0", "--rate", "--png out", "--scene 7 --raw x", "--scene 1", "--raw x", "--inactive 5-2",
        "--escape-at 0", "--beat-at 0 --scene 1 --raw x", "--video x.mp4 --video-size 960x720",
        "--video x.mp4 --video-size 4160x400", "--video-size 640x400", "--video x.mp4 --video-lossless y.mkv"}) {
    std::string output;
    EXPECT_EQ(run_render(args, &output), 2) << args;
    EXPECT_NE(output.find("usage:"), std::string::npos) << args;
  }
}

TEST(RenderOptions, RelativePathsAreAnchoredAtTheStartFolderAndOthersKept) {
  RenderOptions o;
  o.log_path = "-";
  o.png_dir = "frames";
  o.wav_path = "/tmp/music.wav";
  o.raw_path = "../out.raw";
  o.start_path = "start.raw";
  anchor_paths(&o, "/home/user/show");
  EXPECT_EQ(o.log_path, "-") << "standard output stays";
  EXPECT_EQ(o.png_dir, "/home/user/show/frames");
  EXPECT_EQ(o.wav_path, "/tmp/music.wav");
  EXPECT_EQ(o.raw_path, "/home/user/show/../out.raw");
  EXPECT_EQ(o.start_path, "/home/user/show/start.raw");
  EXPECT_EQ(o.video_path, "") << "an option not given stays unset";
  EXPECT_EQ(o.dump_dir, "");
  o.log_path = "-x";
  anchor_paths(&o, "/w");
  EXPECT_EQ(o.log_path, "/w/-x") << "only a lone dash is standard output";
}

TEST(RenderTool, WritesTheChosenFramesAsPng) {
  const std::string dir = test_support::scratch_name("frames", "");
  ASSERT_EQ(run_render("--png " + dir + " --frames 1,400-402 --escape-at 2"), 0);
  for (const char* name : {"/frame-000001.png", "/frame-000400.png", "/frame-000402.png"}) {
    const std::vector<uint8_t> png = read_file(dir + name);
    ASSERT_GT(png.size(), 8u) << name;
    EXPECT_EQ(png[1], 'P');
  }
  EXPECT_TRUE(read_file(dir + "/frame-000002.png").empty());
  std::system(("rm -rf " + dir).c_str());
}

TEST(RenderTool, WavHoldsTheMusicFromItsStart) {
  const std::string wav = test_support::scratch_name("music", ".wav");
  ASSERT_EQ(run_render("--wav " + wav + " --escape-at 61"), 0);
  const std::vector<uint8_t> bytes = read_file(wav);
  std::remove(wav.c_str());
  ASSERT_GE(bytes.size(), 44u);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "RIFF");
  const double seconds = (bytes.size() - 44) / 4.0 / 44100.0;
  EXPECT_NEAR(seconds, 1.0, 0.05) << "sixty passes at 60 Hz after the music started";
}

TEST(RenderTool, DumpsEveryDataBlock) {
  const std::string dir = test_support::scratch_name("dump", "");
  ASSERT_EQ(run_render("--dump-data " + dir), 0);
  for (size_t i = 0; i < data_block_count; ++i) {
    const std::vector<uint8_t> bytes = read_file(dir + "/" + data_blocks[i].file_name);
    EXPECT_EQ(bytes.size(), data_blocks[i].size) << data_blocks[i].file_name;
  }
  std::system(("rm -rf " + dir).c_str());
}

TEST(RenderTool, HarnessRefusesAStartFrameOfTheWrongSize) {
  FILE* f = std::fopen("short-start.raw", "wb");
  std::fputs("short", f);
  std::fclose(f);
  std::string output;
  EXPECT_EQ(run_render("--scene 0 --passes 1 --ticks 1 --raw out.raw --start short-start.raw", &output), 1);
  EXPECT_NE(output.find("64000"), std::string::npos);
  std::remove("short-start.raw");
}

TEST(RenderTool, HarnessIsDeterministic) {
  const std::vector<uint8_t> a = test_support::render_scene(1, 5, 2, "--beat-at 2");
  const std::vector<uint8_t> b = test_support::render_scene(1, 5, 2, "--beat-at 2");
  ASSERT_EQ(a.size(), 64000u);
  EXPECT_EQ(a, b);
}

}  // namespace
