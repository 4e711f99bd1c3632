// tarnwick-render: the show headless and deterministic, as fast as the CPU allows.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "host/script.h"
#include "host/show_state.h"
#include "host/startup.h"
#include "platform/headless/headless.h"
#include "platform/installed_data.h"
#include "platform/music.h"
#include "scenes/data_blocks.h"
#include "tools/render/png_writer.h"
#include "tools/render/render_options.h"
#include "tools/render/scene_run.h"
#include "tools/render/video_encoder.h"
#include "tools/render/wav_writer.h"
#include "tools/standard_options.h"

namespace {

struct Render {
  RenderOptions options;
  FILE* log = nullptr;
  WavWriter wav;
  VideoEncoder video;
  bool video_on = false;
  bool music_process = false;  // the copy of the run that feeds the video its music
  pid_t music_pid = -1;
  uint64_t video_frames = 0;  // written, counting the held ones
  uint64_t music_frames = 0;  // sent to the video, counting the silence
  bool video_broken = false;  // ffmpeg stopped reading
  bool escape_posted = false;
  bool progress = false;
  bool png_failed = false;
  uint8_t rgb[320 * 200 * 3];
};

Render render;

int dump_data(const std::string& dir) {
  mkdir(dir.c_str(), 0777);
  for (size_t i = 0; i < data_block_count; ++i) {
    const std::string path = dir + "/" + data_blocks[i].file_name;
    if (!write_whole_file(path, data_blocks[i].bytes, data_blocks[i].size)) {
      std::fprintf(stderr, "tarnwick-render: cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}

void log_action(const ScriptAction& a) {
  char line[96];
  format_script_action(a, active_passes, line, sizeof line);
  std::fprintf(render.log, "%s\n", line);
}

void to_rgb(const uint8_t* pixels, int32_t pitch, const PaletteEntry* palette) {
  uint8_t* out = render.rgb;
  for (int32_t y = 0; y < 200; ++y) {
    const uint8_t* row = pixels + y * pitch;
    for (int32_t x = 0; x < 320; ++x) {
      const PaletteEntry& c = palette[row[x]];
      *out++ = c.red;
      *out++ = c.green;
      *out++ = c.blue;
    }
  }
}

void show_progress(uint64_t present) {
  if (!render.progress || present % 30 != 0) return;
  const uint32_t order = music_unpack_position(music_position(music_handle)).order;
  const int filled = static_cast<int>(order > 43 ? 40 : order * 40 / 43);
  std::fprintf(stderr, "\r[%.*s%*s] order %2u of 43, frame %llu", filled, "########################################",
               40 - filled, "", order, static_cast<unsigned long long>(present));
}

void end_show_early() {
  if (render.escape_posted) return;
  render.escape_posted = true;
  headless_post_message({MessageKind::key_down, key_escape});
}

// The frame slot of a moment of virtual time: presents fall on slots, and an inactive window
// leaves slots that the last picture holds, as a capture would see it.
uint64_t video_slot(uint64_t time_ns) { return (time_ns * render.options.rate + 500000000ull) / 1000000000ull; }

void send_frame() {
  if (render.video_broken) return;
  if (write_to_pipe(render.video.frames_fd, render.rgb, sizeof render.rgb)) {
    ++render.video_frames;
  } else {
    render.video_broken = true;
    end_show_early();
  }
}

void on_present(const uint8_t* pixels, int32_t pitch, const PaletteEntry* palette, uint64_t present, void*) {
  const RenderOptions& o = render.options;
  const bool png = !render.music_process && !o.png_dir.empty() && frame_selected(o.frames, present);
  if (render.video_on)
    while (render.video_frames > 0 && render.video_frames < video_slot(headless_time_ns()) && !render.video_broken)
      send_frame();
  if (png || render.video_on) to_rgb(pixels, pitch, palette);
  if (png) {
    char name[32];
    std::snprintf(name, sizeof name, "/frame-%06llu.png", static_cast<unsigned long long>(present));
    if (!write_png_rgb(o.png_dir + name, 320, 200, render.rgb)) render.png_failed = true;
  }
  if (render.video_on) send_frame();
  // Escape "before active pass N": posted during pass N - 1, taken before pass N.
  if (o.escape_at > 0 && active_passes + 1 >= static_cast<uint64_t>(o.escape_at)) end_show_early();
  show_progress(present);
}

void on_sound(const int16_t* frames, size_t count, void*) { wav_write(&render.wav, frames, count); }

// The music process: silence from the first frame until the music starts, then the music, then
// silence to the end of the last frame, so that the sound starts with the pictures.
bool send_music_until(uint64_t frame) {
  static const int16_t silence[2048] = {};
  while (render.music_frames < frame) {
    const uint64_t n = std::min<uint64_t>(frame - render.music_frames, sizeof silence / 4);
    if (!write_to_pipe(render.video.music_fd, silence, n * 4)) return false;
    render.music_frames += n;
  }
  return true;
}

uint64_t sample_at(uint64_t time_ns) { return (time_ns * 44100 + 500000000ull) / 1000000000ull; }

void on_video_music(const int16_t* frames, size_t count, void*) {
  if (!send_music_until(sample_at(headless_music_start_ns())) ||
      !write_to_pipe(render.video.music_fd, frames, count * 4))
    _exit(1);  // ffmpeg has gone: the main process says why
  render.music_frames += count;
}

// Runs the same show in a copy of this process, before anything is opened, to stream its music
// to ffmpeg while this one streams the frames: neither stream waits for the other.
bool start_music_process() {
  std::fflush(nullptr);
  const pid_t pid = fork();
  if (pid < 0) return false;
  if (pid > 0) {
    render.music_pid = pid;
    close(render.video.music_fd);
    render.video.music_fd = -1;
    return true;
  }
  std::signal(SIGINT, SIG_DFL);
  std::signal(SIGTERM, SIG_DFL);
  close(render.video.frames_fd);
  const int null = open("/dev/null", O_WRONLY);  // the main process speaks for both
  dup2(null, 1);
  dup2(null, 2);
  render.music_process = true;
  render.video_on = false;
  script_observer = nullptr;  // the log, the WAV and the frames are the main process's

  headless_set_audio_sink(on_video_music, nullptr);
  const int code = show_main();
  const bool sent = send_music_until(sample_at(headless_time_ns()));
  _exit(code == 0 && sent && close(render.video.music_fd) == 0 ? 0 : 1);
}

void on_stop_signal(int sig) {
  video_encoder_abandon_from_signal();
  if (render.music_pid > 0) kill(render.music_pid, SIGKILL);
  std::signal(sig, SIG_DFL);
  std::raise(sig);
}

bool start_video(const RenderOptions& o) {
  std::string error;
  VideoFormat format;
  format.kind = o.video_lossless ? VideoKind::lossless : VideoKind::web;
  format.width = o.video_width;
  format.height = o.video_height;
  format.rate = o.rate;
  std::signal(SIGPIPE, SIG_IGN);  // a write to a stopped ffmpeg fails instead
  if (!video_encoder_begin(&render.video, format, o.video_path, &error)) {
    std::fprintf(stderr, "tarnwick-render: %s\n", error.c_str());
    return false;
  }
  std::signal(SIGINT, on_stop_signal);
  std::signal(SIGTERM, on_stop_signal);
  render.video_on = true;
  if (!start_music_process()) {
    std::fprintf(stderr, "tarnwick-render: cannot start the music's process\n");
    video_encoder_abandon_from_signal();
    return false;
  }
  return true;
}

int run_show(const RenderOptions& o) {
  headless_set_rate(o.rate);
  if (o.inactive) headless_set_inactive(o.inactive_from, o.inactive_to);
  headless_set_present_hook(on_present, nullptr);
  if (!o.log_path.empty()) {
    render.log = o.log_path == "-" ? stdout : std::fopen(o.log_path.c_str(), "w");
    if (!render.log) {
      std::fprintf(stderr, "tarnwick-render: cannot write %s\n", o.log_path.c_str());
      return 1;
    }
    script_observer = log_action;
  }
  if (!o.png_dir.empty()) mkdir(o.png_dir.c_str(), 0777);
  if (!o.wav_path.empty()) {
    if (!wav_open(&render.wav, o.wav_path, 44100)) {
      std::fprintf(stderr, "tarnwick-render: cannot write %s\n", o.wav_path.c_str());
      return 1;
    }
    headless_set_audio_sink(on_sound, nullptr);
  }
  if (!o.video_path.empty() && !start_video(o)) return 1;
  render.progress = isatty(2) && (render.video_on || !o.png_dir.empty());

  const int exit_code = show_main();

  if (render.progress) std::fprintf(stderr, "\n");
  if (render.log) {
    std::fprintf(render.log, "end pass %u\n", active_passes);
    if (render.log != stdout) std::fclose(render.log);
  }
  int result = exit_code;
  if (!o.wav_path.empty() && !wav_close(&render.wav)) {
    std::fprintf(stderr, "tarnwick-render: cannot finish %s\n", o.wav_path.c_str());
    result = result ? result : 1;
  }
  if (render.video_on) {
    std::string error;
    if (!video_encoder_finish(&render.video, render.music_pid, &error)) {
      std::fprintf(stderr, "tarnwick-render: %s\n", error.c_str());
      result = result ? result : 1;
    }
  }
  if (render.png_failed) {
    std::fprintf(stderr, "tarnwick-render: some frames could not be written to %s\n", o.png_dir.c_str());
    result = result ? result : 1;
  }
  return result;
}

}  // namespace

int main(int argc, char** argv) {
  std::string error;
  if (!parse_render_options(argc, argv, &render.options, &error)) {
    std::fprintf(stderr, "tarnwick-render: %s\n%s", error.c_str(), render_usage);
    return 2;
  }
  const RenderOptions& o = render.options;
  if (!o.standard_option.empty()) return answer_standard_option(o.standard_option, "tarnwick-render", render_usage);
  if (!o.dump_dir.empty()) return dump_data(o.dump_dir);
  // Started away from any show data, an installed tarnwick-render reads its installed data;
  // the files it writes still go where the command line meant.
  char here[4096];
  if (getcwd(here, sizeof here)) {
    anchor_paths(&render.options, here);
    enter_installed_data_folder();
  }
  if (o.scene >= 0) return run_scene_harness(o);
  return run_show(o);
}
