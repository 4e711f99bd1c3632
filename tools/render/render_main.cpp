// tarnwick-render: the show headless and deterministic, as fast as the CPU allows.
#include <sys/stat.h>
#include <unistd.h>

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
  std::string wav_path;  // the one asked for, or a temporary one for the video
  VideoEncoder video;
  bool video_on = false;
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

void on_present(const uint8_t* pixels, int32_t pitch, const PaletteEntry* palette, uint64_t present, void*) {
  const RenderOptions& o = render.options;
  const bool png = !o.png_dir.empty() && frame_selected(o.frames, present);
  if (png || render.video_on) to_rgb(pixels, pitch, palette);
  if (png) {
    char name[32];
    std::snprintf(name, sizeof name, "/frame-%06llu.png", static_cast<unsigned long long>(present));
    if (!write_png_rgb(o.png_dir + name, 320, 200, render.rgb)) render.png_failed = true;
  }
  if (render.video_on) video_encoder_write_frame(&render.video, render.rgb, 320, 200);
  // Escape "before active pass N": posted during pass N - 1, taken before pass N.
  if (o.escape_at > 0 && !render.escape_posted && active_passes + 1 >= static_cast<uint64_t>(o.escape_at)) {
    render.escape_posted = true;
    headless_post_message({MessageKind::key_down, key_escape});
  }
  show_progress(present);
}

void on_sound(const int16_t* frames, size_t count, void*) { wav_write(&render.wav, frames, count); }

int run_show(const RenderOptions& o) {
  headless_set_rate(o.rate);
  if (!o.log_path.empty()) {
    render.log = o.log_path == "-" ? stdout : std::fopen(o.log_path.c_str(), "w");
    if (!render.log) {
      std::fprintf(stderr, "tarnwick-render: cannot write %s\n", o.log_path.c_str());
      return 1;
    }
    script_observer = log_action;
  }
  if (!o.png_dir.empty()) mkdir(o.png_dir.c_str(), 0777);
  if (!o.video_path.empty()) {
    std::string error;
    if (!video_encoder_begin(&render.video, o.video_path, o.rate, &error)) {
      std::fprintf(stderr, "tarnwick-render: %s\n", error.c_str());
      return 1;
    }
    render.video_on = true;
  }
  render.wav_path = !o.wav_path.empty() ? o.wav_path : render.video_on ? o.video_path + ".music.wav" : "";
  if (!render.wav_path.empty()) {
    if (!wav_open(&render.wav, render.wav_path, 44100)) {
      std::fprintf(stderr, "tarnwick-render: cannot write %s\n", render.wav_path.c_str());
      return 1;
    }
    headless_set_audio_sink(on_sound, nullptr);
  }
  if (o.inactive) headless_set_inactive(o.inactive_from, o.inactive_to);
  render.progress = isatty(2) && (render.video_on || !o.png_dir.empty());
  headless_set_present_hook(on_present, nullptr);

  const int exit_code = show_main();

  if (render.progress) std::fprintf(stderr, "\n");
  if (render.log) {
    std::fprintf(render.log, "end pass %u\n", active_passes);
    if (render.log != stdout) std::fclose(render.log);
  }
  int result = exit_code;
  const double music_start = static_cast<double>(headless_music_start_ns()) / 1e9;
  if (!render.wav_path.empty() && !wav_close(&render.wav)) {
    std::fprintf(stderr, "tarnwick-render: cannot finish %s\n", render.wav_path.c_str());
    result = result ? result : 1;
  }
  if (render.video_on) {
    std::string error;
    if (!video_encoder_finish(&render.video, render.wav_path, music_start, &error)) {
      std::fprintf(stderr, "tarnwick-render: %s\n", error.c_str());
      result = result ? result : 1;
    }
    if (o.wav_path.empty()) std::remove(render.wav_path.c_str());
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
