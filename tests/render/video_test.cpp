// tarnwick-render's videos, read back by ffprobe and ffmpeg: every presented frame once, as the
// PNG frames show it scaled by whole blocks, and the music where the frames put it.
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/render_harness.h"

namespace {

using test_support::read_file;
using test_support::run_command;
using test_support::run_render;

bool have_ffmpeg() { return run_command("command -v ffmpeg && command -v ffprobe") == 0; }

std::vector<uint8_t> read_png_rgb(const std::string& path) {
  png_image image = {};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return {};
  image.format = PNG_FORMAT_RGB;
  std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
  if (image.width != 320 || image.height != 200 || !png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr))
    return {};
  return rgb;
}

// A 320x200 frame with every pixel a block_x by block_y block.
std::vector<uint8_t> blow_up(const std::vector<uint8_t>& rgb, int bx, int by) {
  if (rgb.size() != 320u * 200 * 3) return {};
  const size_t row = 320u * bx * 3;
  std::vector<uint8_t> out(rgb.size() * bx * by);
  for (int y = 0; y < 200; ++y) {
    uint8_t* line = out.data() + y * by * row;
    for (int x = 0; x < 320 * bx; ++x) std::copy_n(&rgb[(y * 320 + x / bx) * 3], 3, line + x * 3);
    for (int copy = 1; copy < by; ++copy) std::copy_n(line, row, line + copy * row);
  }
  return out;
}

double mean_error(const uint8_t* a, const uint8_t* b, size_t size) {
  uint64_t sum = 0;
  for (size_t i = 0; i < size; ++i) sum += a[i] > b[i] ? a[i] - b[i] : b[i] - a[i];
  return static_cast<double>(sum) / static_cast<double>(size);
}

// The lag of the music (the WAV) in the video's sound, by cross-correlation of the channels'
// sums over lags around a guess.
int64_t music_lag(const std::vector<int16_t>& sound, const std::vector<int16_t>& music, int64_t guess) {
  int64_t best = guess - 2205;
  double best_score = -1e300;
  for (int64_t lag = guess - 2205; lag <= guess + 2205; ++lag) {
    double score = 0;
    for (size_t i = 0; i + 1 < music.size(); i += 2) {
      const int64_t at = lag * 2 + static_cast<int64_t>(i);
      if (at < 0 || at + 1 >= static_cast<int64_t>(sound.size())) continue;
      score += (double(music[i]) + music[i + 1]) * (double(sound[at]) + sound[at + 1]);
    }
    if (score > best_score) best_score = score, best = lag;
  }
  return best;
}

std::vector<int16_t> as_samples(const std::vector<uint8_t>& bytes, size_t skip) {
  std::vector<int16_t> samples((bytes.size() - skip) / 2);
  for (size_t i = 0; i < samples.size(); ++i)
    samples[i] = static_cast<int16_t>(bytes[skip + 2 * i] | bytes[skip + 2 * i + 1] << 8);
  return samples;
}

struct Mode {
  const char* option;
  const char* file;
  int width, height;
  const char* sample_aspect;
  bool exact;
};

// A short span of the show (the splash, then 40 passes of music) with every present as PNG, in
// the web mode at its default size and in the archive mode at 2x2 blocks.
TEST(RenderVideo, HoldsEveryFrameOnceAsDrawnAndTheMusicWhereTheFramesPutIt) {
  ASSERT_TRUE(have_ffmpeg()) << "ffmpeg and ffprobe are needed: scripts/install-deps installs them";
  size_t presents = 0;  // counted from the archive's PNG frames, the same run in both modes
  for (const Mode& mode :
       {Mode{"--video-lossless", ".mkv", 640, 400, "5:6", true}, Mode{"--video", ".mp4", 1600, 1200, "1:1", false}}) {
    SCOPED_TRACE(mode.option);
    const std::string video = test_support::scratch_name("video", mode.file);
    const std::string wav = test_support::scratch_name("music", ".wav");
    const std::string dir = test_support::scratch_name("frames", "");
    const std::string size = mode.exact ? " --video-size 640x400" : "";
    const std::string frames = mode.exact ? "1-100000" : std::to_string(presents - 13) + "-" + std::to_string(presents);
    std::string output;
    ASSERT_EQ(run_render(std::string(mode.option) + " " + video + size + " --wav " + wav + " --png " + dir +
                             " --frames " + frames + " --escape-at 41",
                         &output),
              0)
        << output;
    for (char name[32]; mode.exact; ++presents) {
      std::snprintf(name, sizeof name, "/frame-%06zu.png", presents + 1);
      if (!std::filesystem::exists(dir + name)) break;
    }
    ASSERT_GT(presents, 100u);

    std::string probe;
    ASSERT_EQ(run_command("ffprobe -v error -select_streams v:0 -count_frames -show_entries "
                          "stream=width,height,sample_aspect_ratio,display_aspect_ratio,r_frame_rate,nb_read_frames "
                          "-of default=noprint_wrappers=1 " +
                              video,
                          &probe),
              0)
        << probe;
    const std::string expected = "width=" + std::to_string(mode.width) + "\nheight=" + std::to_string(mode.height) +
                                 "\nsample_aspect_ratio=" + mode.sample_aspect +
                                 "\ndisplay_aspect_ratio=4:3\nr_frame_rate=60/1\nnb_read_frames=" +
                                 std::to_string(presents) + "\n";
    EXPECT_EQ(probe, expected);

    // The decoded frames, as stored: all of the archive's, the last 14 of the web video.
    const size_t first = mode.exact ? 1 : presents - 13;
    const std::string pictures = video + ".rgb";
    ASSERT_EQ(run_command("ffmpeg -v error -i " + video + " -map 0:v -vf 'select=gte(n\\," + std::to_string(first - 1) +
                          ")' -fps_mode passthrough -f rawvideo -pix_fmt rgb24 " + pictures),
              0);
    const std::vector<uint8_t> decoded = read_file(pictures);
    const size_t frame_bytes = static_cast<size_t>(mode.width) * mode.height * 3;
    ASSERT_EQ(decoded.size(), (presents - first + 1) * frame_bytes);
    const int bx = mode.width / 320, by = mode.height / 200;
    if (mode.exact) {
      for (size_t n = 1; n <= presents; ++n) {
        char name[32];
        std::snprintf(name, sizeof name, "/frame-%06zu.png", n);
        const std::vector<uint8_t> want = blow_up(read_png_rgb(dir + name), bx, by);
        ASSERT_EQ(want.size(), frame_bytes) << name;
        ASSERT_TRUE(std::equal(want.begin(), want.end(), decoded.begin() + (n - first) * frame_bytes)) << "frame " << n;
      }
    } else {
      // Frames of the moving particle logo: near their own picture, nearer than to the next ones.
      for (size_t n : {presents - 12, presents - 1}) {
        double error[3];
        for (int d = -1; d <= 1; ++d) {
          char name[32];
          std::snprintf(name, sizeof name, "/frame-%06zu.png", n + d);
          const std::vector<uint8_t> want = blow_up(read_png_rgb(dir + name), bx, by);
          ASSERT_EQ(want.size(), frame_bytes) << name;
          error[d + 1] = mean_error(want.data(), decoded.data() + (n - first) * frame_bytes, frame_bytes);
        }
        EXPECT_LE(error[1], 3.0) << "frame " << n;
        std::printf("frame %zu: mean error %.3f, against its neighbours %.3f and %.3f\n", n, error[1], error[0],
                    error[2]);
        EXPECT_LT(error[1], error[0]) << "frame " << n;
        EXPECT_LT(error[1], error[2]) << "frame " << n;
      }
    }

    // The music started (presents * 735 - its length) samples after the first frame.
    const std::string sound_file = video + ".pcm";
    ASSERT_EQ(run_command("ffmpeg -v error -i " + video + " -map 0:a -f s16le -ac 2 -ar 44100 " + sound_file), 0);
    const std::vector<int16_t> sound = as_samples(read_file(sound_file), 0);
    const std::vector<int16_t> music = as_samples(read_file(wav), 44);
    ASSERT_GT(music.size(), 2u * 44100 / 2);
    const int64_t start = static_cast<int64_t>(presents) * 735 - static_cast<int64_t>(music.size() / 2);
    const int64_t lag = music_lag(sound, music, start);
    EXPECT_LE(std::abs(lag - start), mode.exact ? 1 : 44) << "lag " << lag << ", frames put it at " << start;
    std::printf("the music %lld samples after the frames put it\n", static_cast<long long>(lag - start));
    if (mode.exact) {
      ASSERT_EQ(sound.size(), presents * 735 * 2);
      EXPECT_TRUE(std::equal(music.begin(), music.end(), sound.begin() + start * 2)) << "the music sample for sample";
      EXPECT_TRUE(std::all_of(sound.begin(), sound.begin() + start * 2, [](int16_t s) { return s == 0; }));
    }
    for (const std::string& file : {video, wav, pictures, sound_file}) std::remove(file.c_str());
    std::filesystem::remove_all(dir);
  }
}

// A stand-in for ffmpeg that is killed, one that fails, and none at all: each a clear line, a
// failed exit and no file, partial or whole.
TEST(RenderVideo, FfmpegKilledFailingOrMissingLeavesNoFile) {
  const std::string bin = std::filesystem::absolute(test_support::scratch_name("fake-ffmpeg", "")).string();
  std::filesystem::create_directories(bin);
  const struct {
    const char* script;  // nullptr: no ffmpeg on the PATH
    const char* message;
  } cases[] = {{"head -c 1000000 > /dev/null; kill -9 $$", "ffmpeg was killed (signal 9"},
               {"exit 3", "ffmpeg failed (exit status 3)"},
               {nullptr, "a video needs ffmpeg, which is not installed"}};
  for (const auto& c : cases) {
    if (c.script) {
      FILE* f = std::fopen((bin + "/ffmpeg").c_str(), "w");
      ASSERT_TRUE(f);
      std::fprintf(f, "#!/bin/sh\n%s\n", c.script);
      std::fclose(f);
      std::filesystem::permissions(bin + "/ffmpeg", std::filesystem::perms::owner_all);
    }
    const std::string video = test_support::scratch_name("broken", ".mp4");
    std::string output;
    const std::string path = c.script ? bin + ":/usr/bin:/bin" : bin + "/none";
    EXPECT_EQ(run_command("PATH=" + path + " ./tarnwick-render --video " + video, &output), 1) << c.message;
    EXPECT_NE(output.find(c.message), std::string::npos) << output;
    EXPECT_FALSE(std::filesystem::exists(video)) << c.message;
    EXPECT_FALSE(std::filesystem::exists("." + video.substr(0, video.size() - 4) + ".partial.mp4")) << c.message;
  }
  std::filesystem::remove_all(bin);
}

}  // namespace
