// tarnwick-render's command line: its options parsed and checked.
#include "tools/render/render_options.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "host/scene_list.h"

#include "tools/standard_options.h"

const char* const render_usage =
    "usage: tarnwick-render [--rate HZ] [--log FILE|-] [--png DIR --frames LIST] [--wav FILE]\n"
    "                       [--video FILE | --video-lossless FILE] [--video-size WxH]\n"
    "                       [--inactive A-B] [--escape-at N]\n"
    "       tarnwick-render --scene S --passes N --ticks T --raw FILE [--start FILE] [--beat-at LIST]\n"
    "       tarnwick-render --dump-data DIR\n"
    "       tarnwick-render --help | --version\n";

namespace {

bool parse_unsigned(const std::string& text, uint64_t* value) {
  if (text.empty() || text[0] < '0' || text[0] > '9') return false;
  errno = 0;
  char* end = nullptr;
  const unsigned long long v = std::strtoull(text.c_str(), &end, 10);
  if (errno != 0 || *end != '\0') return false;
  *value = v;
  return true;
}

// A whole number from `least` to `most`.
bool parse_number_in(const std::string& text, uint64_t least, uint64_t most, uint64_t* value) {
  return parse_unsigned(text, value) && *value >= least && *value <= most;
}

bool refuse(std::string* error, const std::string& message) {
  *error = message;
  return false;
}

bool parse_seconds(const std::string& text, double* value) {
  if (text.empty()) return false;
  char* end = nullptr;
  *value = std::strtod(text.c_str(), &end);
  return *end == '\0' && *value >= 0;
}

std::vector<std::string> split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (;;) {
    const size_t at = text.find(separator, start);
    parts.push_back(text.substr(start, at == std::string::npos ? std::string::npos : at - start));
    if (at == std::string::npos) return parts;
    start = at + 1;
  }
}

// Where the value of an option that takes it as it is goes; null for the other options.
std::string* text_option(RenderOptions* o, const std::string& option) {
  const struct {
    const char* name;
    std::string* value;
  } options[] = {{"--log", &o->log_path}, {"--png", &o->png_dir},      {"--wav", &o->wav_path},
                 {"--raw", &o->raw_path}, {"--start", &o->start_path}, {"--dump-data", &o->dump_dir}};
  for (const auto& [name, value] : options)
    if (option == name) return value;
  return nullptr;
}

}  // namespace

bool parse_video_size(const std::string& text, int32_t* width, int32_t* height) {
  const std::vector<std::string> sides = split(text, 'x');
  uint64_t w = 0, h = 0;
  if (sides.size() != 2 || !parse_number_in(sides[0], 320, 3840, &w) || !parse_number_in(sides[1], 200, 2400, &h) ||
      w % 320 != 0 || h % 200 != 0)
    return false;
  *width = static_cast<int32_t>(w);
  *height = static_cast<int32_t>(h);
  return true;
}

bool parse_frame_list(const std::string& list, std::vector<FrameRange>* ranges) {
  for (const std::string& item : split(list, ',')) {
    FrameRange range = {0, 0, 1};
    std::string span = item;
    const size_t slash = item.find('/');
    if (slash != std::string::npos) {
      span = item.substr(0, slash);
      if (!parse_unsigned(item.substr(slash + 1), &range.step) || range.step == 0) return false;
    }
    const size_t dash = span.find('-');
    if (dash == std::string::npos) {
      if (slash != std::string::npos || !parse_unsigned(span, &range.first)) return false;
      range.last = range.first;
    } else if (!parse_unsigned(span.substr(0, dash), &range.first) ||
               !parse_unsigned(span.substr(dash + 1), &range.last) || range.last < range.first) {
      return false;
    }
    ranges->push_back(range);
  }
  return true;
}

bool frame_selected(const std::vector<FrameRange>& ranges, uint64_t frame) {
  for (const FrameRange& r : ranges)
    if (frame >= r.first && frame <= r.last && (frame - r.first) % r.step == 0) return true;
  return false;
}

void anchor_paths(RenderOptions* o, const std::string& folder) {
  for (std::string* path :
       {&o->log_path, &o->png_dir, &o->wav_path, &o->video_path, &o->raw_path, &o->start_path, &o->dump_dir}) {
    const bool standard_output = path == &o->log_path && *path == "-";
    if (path->empty() || (*path)[0] == '/' || standard_output) continue;
    *path = folder + "/" + *path;
  }
}

bool parse_render_options(int argc, char** argv, RenderOptions* o, std::string* error) {
  std::string frames_list;
  for (int i = 1; i < argc; ++i) {
    const std::string option = argv[i];
    if (is_standard_option(option)) {
      o->standard_option = option;  // whatever else the line holds
      return true;
    }
    if (i + 1 >= argc) return refuse(error, "missing value after " + option);
    const std::string value = argv[++i];
    if (std::string* text = text_option(o, option)) {
      *text = value;
      continue;
    }
    if (option == "--video" || option == "--video-lossless") {
      if (!o->video_path.empty()) return refuse(error, "--video and --video-lossless make one video at a time");
      o->video_path = value;
      o->video_lossless = option == "--video-lossless";
      continue;
    }
    uint64_t number = 0;
    if (option == "--rate") {
      if (!parse_number_in(value, 1, 1000, &number)) return refuse(error, "--rate takes a rate in Hz from 1 to 1000");
      o->rate = static_cast<uint32_t>(number);
    } else if (option == "--frames") {
      frames_list = value;
      if (!parse_frame_list(value, &o->frames))
        return refuse(error, "--frames takes A, A-B or A-B/STEP, comma-separated");
    } else if (option == "--inactive") {
      const std::vector<std::string> span = split(value, '-');
      if (span.size() != 2 || !parse_seconds(span[0], &o->inactive_from) || !parse_seconds(span[1], &o->inactive_to) ||
          o->inactive_to < o->inactive_from)
        return refuse(error, "--inactive takes A-B, seconds after the music starts");
      o->inactive = true;
    } else if (option == "--escape-at") {
      if (!parse_number_in(value, 1, UINT64_MAX, &number))
        return refuse(error, "--escape-at takes a pass number from 1");
      o->escape_at = static_cast<int64_t>(number);
    } else if (option == "--scene") {
      if (!parse_number_in(value, 0, scene_count - 1, &number))
        return refuse(error, "--scene takes 0 to " + std::to_string(scene_count - 1));
      o->scene = static_cast<int32_t>(number);
    } else if (option == "--passes") {
      if (!parse_number_in(value, 0, 1000000, &number)) return refuse(error, "--passes takes a count up to 1000000");
      o->passes = static_cast<int32_t>(number);
    } else if (option == "--ticks") {
      if (!parse_number_in(value, 0, 100000, &number)) return refuse(error, "--ticks takes a count up to 100000");
      o->ticks = static_cast<uint32_t>(number);
    } else if (option == "--video-size") {
      if (!parse_video_size(value, &o->video_width, &o->video_height))
        return refuse(error, "--video-size " + value +
                                 " gives no exact blocks: WxH takes a width of 320 to 3840 in steps of 320 and a "
                                 "height of 200 to 2400 in steps of 200 (1600x1200, 640x400, 320x200)");
    } else if (option == "--beat-at") {
      for (const std::string& item : split(value, ',')) {
        if (!parse_number_in(item, 1, 1000000, &number))
          return refuse(error, "--beat-at takes pass numbers from 1, comma-separated");
        o->beat_at.push_back(static_cast<int32_t>(number));
      }
    } else {
      return refuse(error, "unknown option " + option);
    }
  }
  if (o->video_width > 0 && o->video_path.empty()) return refuse(error, "--video-size belongs to a video");
  if (!o->png_dir.empty() && frames_list.empty()) return refuse(error, "--png needs --frames");
  if (o->scene >= 0 && o->raw_path.empty()) return refuse(error, "--scene needs --raw FILE");
  if (o->scene < 0 && (!o->raw_path.empty() || !o->start_path.empty() || !o->beat_at.empty()))
    return refuse(error, "--raw, --start and --beat-at belong to --scene");
  return true;
}
