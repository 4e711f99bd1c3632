// tarnwick-render's command line.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct FrameRange {
  uint64_t first;
  uint64_t last;
  uint64_t step;
};

struct RenderOptions {
  uint32_t rate = 60;
  std::string log_path;  // "-" is standard output
  std::string png_dir;
  std::vector<FrameRange> frames;
  std::string wav_path;
  std::string video_path;
  bool video_lossless = false;  // --video-lossless: FFV1 and FLAC instead of H.264 and AAC
  int32_t video_width = 0;      // --video-size; 0: the mode's own
  int32_t video_height = 0;
  bool inactive = false;
  double inactive_from = 0;
  double inactive_to = 0;
  int64_t escape_at = -1;
  int32_t scene = -1;  // the scene harness when set
  int32_t passes = 0;
  uint32_t ticks = 0;
  std::string raw_path;
  std::string start_path;
  std::vector<int32_t> beat_at;
  std::string dump_dir;
  std::string standard_option;  // "--help" or "--version": answered instead of playing
};

// False with a message when the command line is not understood.
bool parse_render_options(int argc, char** argv, RenderOptions* options, std::string* error);
// "A", "A-B" and "A-B/STEP", comma-separated.
bool parse_frame_list(const std::string& list, std::vector<FrameRange>* ranges);
// "WxH" with a whole number of 320x200 pictures on each axis, up to twelve.
bool parse_video_size(const std::string& text, int32_t* width, int32_t* height);
bool frame_selected(const std::vector<FrameRange>& ranges, uint64_t frame);
// Makes the relative file paths of the command line relative to `folder` (absolute when it is),
// so that they keep naming the folder the user started in after the program moves to its
// installed data.
void anchor_paths(RenderOptions* options, const std::string& folder);
extern const char* const render_usage;
