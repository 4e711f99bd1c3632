// The show's frames and music into a video in one pass of ffmpeg, run without a shell.
#include "tools/render/video_encoder.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

namespace {

constexpr int32_t source_width = 320;
constexpr int32_t source_height = 200;

// What the signal handler needs, as plain data.
char abandon_path[4096];
volatile pid_t abandon_pid = -1;

int32_t greatest_divisor(int32_t a, int32_t b) { return b == 0 ? a : greatest_divisor(b, a % b); }

// ".NAME.partial.EXT" beside the output, keeping its extension, from which ffmpeg picks the
// container of a web video.
std::string partial_name(const std::string& output) {
  const size_t slash = output.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : output.substr(0, slash + 1);
  const std::string name = output.substr(folder.size());
  const size_t dot = name.rfind('.');
  const std::string stem = dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
  return folder + "." + stem + ".partial" + name.substr(stem.size());
}

bool ends_with(const std::string& text, const char* tail) {
  const size_t n = std::strlen(tail);
  return text.size() >= n && text.compare(text.size() - n, n, tail) == 0;
}

// A pipe whose ends are above the standard descriptors and closed on exec.
bool make_pipe(int ends[2]) {
  int raw[2];
  if (pipe2(raw, O_CLOEXEC) != 0) return false;
  for (int i = 0; i < 2; ++i) {
    ends[i] = fcntl(raw[i], F_DUPFD_CLOEXEC, 10);
    close(raw[i]);
  }
  return ends[0] >= 0 && ends[1] >= 0;
}

std::string describe_status(int status) {
  if (WIFSIGNALED(status))
    return "ffmpeg was killed (signal " + std::to_string(WTERMSIG(status)) + ", " + strsignal(WTERMSIG(status)) + ")";
  return "ffmpeg failed (exit status " + std::to_string(WEXITSTATUS(status)) + ")";
}

bool wait_for(pid_t pid, int* status) {
  while (waitpid(pid, status, 0) < 0)
    if (errno != EINTR) return false;
  return true;
}

}  // namespace

VideoShape video_shape(const VideoFormat& format) {
  VideoShape shape = {format.width, format.height, 0, 0, 0, 0};
  if (shape.width == 0) {
    // 1600x1200: 5x6 blocks of square pixels are 4:3 on every player and site, flag or not.
    const bool web = format.kind == VideoKind::web;
    shape.width = web ? 1600 : source_width;
    shape.height = web ? 1200 : source_height;
  }
  shape.block_x = shape.width / source_width;
  shape.block_y = shape.height / source_height;
  // 4:3 shown from width x height: each sample is (4 * height) / (3 * width) wide.
  const int32_t num = 5 * shape.block_y;
  const int32_t den = 6 * shape.block_x;
  const int32_t d = greatest_divisor(num, den);
  shape.aspect_num = num / d;
  shape.aspect_den = den / d;
  return shape;
}

std::vector<std::string> ffmpeg_arguments(const VideoFormat& format, const std::string& output) {
  const VideoShape shape = video_shape(format);
  const bool web = format.kind == VideoKind::web;
  std::vector<std::string> args = {"ffmpeg", "-hide_banner", "-nostdin", "-loglevel", "error",
                                   // the frames as drawn, one per period of the display rate
                                   "-f", "rawvideo", "-pix_fmt", "rgb24", "-video_size", "320x200", "-framerate",
                                   std::to_string(format.rate), "-i", "pipe:0",
                                   // the music from the first frame on, silence before it starts
                                   "-f", "s16le", "-ar", "44100", "-ac", "2", "-i", "pipe:3", "-map", "0:v", "-map",
                                   "1:a"};
  // Nearest neighbour keeps every source pixel one block; the source's colour enters each chroma
  // sample whole (full_chroma_inp) instead of averaged with its neighbour's.
  std::string filter;
  if (shape.block_x > 1 || shape.block_y > 1 || web)
    filter = "scale=" + std::to_string(shape.width) + ":" + std::to_string(shape.height) +
             ":flags=neighbor+full_chroma_inp+accurate_rnd" + (web ? ":out_color_matrix=bt709:out_range=tv" : "") + ",";
  filter += std::string("format=") + (web ? "yuv420p" : "bgr0") + ",setsar=" + std::to_string(shape.aspect_num) + "/" +
            std::to_string(shape.aspect_den);
  args.insert(args.end(), {"-vf", filter});
  if (web) {
    args.insert(args.end(), {"-c:v",
                             "libx264",
                             "-preset",
                             "superfast",
                             "-crf",
                             "16",
                             "-profile:v",
                             "high",
                             "-g",
                             std::to_string(format.rate * 2),
                             "-colorspace",
                             "bt709",
                             "-color_primaries",
                             "bt709",
                             "-color_trc",
                             "bt709",
                             "-color_range",
                             "tv",
                             "-c:a",
                             "aac",
                             "-b:a",
                             "320k"});
    if (ends_with(output, ".mp4") || ends_with(output, ".mov") || ends_with(output, ".m4v"))
      args.insert(args.end(), {"-movflags", "+faststart"});
  } else {
    // Every frame a key frame with checked slices, as archives of FFV1 keep it; the range coder
    // makes the file a third smaller.
    args.insert(args.end(), {"-c:v", "ffv1", "-level", "3", "-g", "1", "-slices", "4", "-slicecrc", "1", "-coder", "1",
                             "-c:a", "flac", "-f", "matroska"});
  }
  args.insert(args.end(), {"-y", output});
  return args;
}

bool video_encoder_begin(VideoEncoder* video, const VideoFormat& format, const std::string& output,
                         std::string* error) {
  video->output = output;
  video->partial = partial_name(output);
  int frames[2], music[2], exec_report[2];
  if (!make_pipe(frames) || !make_pipe(music) || !make_pipe(exec_report)) {
    *error = std::string("cannot make pipes for ffmpeg: ") + std::strerror(errno);
    return false;
  }
  const std::vector<std::string> args = ffmpeg_arguments(format, video->partial);
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  std::fflush(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    // Only async-signal-safe calls until exec.
    std::signal(SIGPIPE, SIG_DFL);
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    if (dup2(frames[0], 0) >= 0 && dup2(music[0], 3) >= 0) execvp("ffmpeg", argv.data());
    const int failure = errno;
    (void)!write(exec_report[1], &failure, sizeof failure);
    _exit(127);
  }
  close(frames[0]);
  close(music[0]);
  close(exec_report[1]);
  int failure = 0;
  ssize_t got;
  while ((got = read(exec_report[0], &failure, sizeof failure)) < 0 && errno == EINTR) {
  }
  close(exec_report[0]);
  if (pid < 0 || got > 0) {
    close(frames[1]);
    close(music[1]);
    int status;
    if (pid > 0) wait_for(pid, &status);
    *error = pid < 0 || failure != ENOENT
                 ? std::string("cannot start ffmpeg: ") + std::strerror(pid < 0 ? errno : failure)
                 : "a video needs ffmpeg, which is not installed (apt-get install ffmpeg)";
    return false;
  }
  video->ffmpeg = pid;
  video->frames_fd = frames[1];
  video->music_fd = music[1];
  std::snprintf(abandon_path, sizeof abandon_path, "%s", video->partial.c_str());
  abandon_pid = pid;
  return true;
}

bool write_to_pipe(int fd, const void* bytes, size_t size) {
  const char* at = static_cast<const char*>(bytes);
  while (size > 0) {
    const ssize_t n = write(fd, at, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    at += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

bool video_encoder_finish(VideoEncoder* video, pid_t music_pid, std::string* error) {
  close(video->frames_fd);
  video->frames_fd = -1;
  int music_status = 0, ffmpeg_status = 0;
  const bool music_ok = music_pid < 0 || (wait_for(music_pid, &music_status) && WIFEXITED(music_status) &&
                                          WEXITSTATUS(music_status) == 0);
  const bool waited = wait_for(video->ffmpeg, &ffmpeg_status);
  abandon_pid = -1;
  const bool ffmpeg_ok = waited && WIFEXITED(ffmpeg_status) && WEXITSTATUS(ffmpeg_status) == 0;
  if (ffmpeg_ok && music_ok && std::rename(video->partial.c_str(), video->output.c_str()) == 0) return true;
  std::remove(video->partial.c_str());
  if (!ffmpeg_ok)
    *error = (waited ? describe_status(ffmpeg_status) : std::string("ffmpeg was lost")) + "; no video written";
  else if (!music_ok)
    *error = "the music could not be rendered for the video; no video written";
  else
    *error = "cannot write " + video->output + ": " + std::strerror(errno);
  return false;
}

void video_encoder_abandon_from_signal() {
  if (abandon_pid > 0) kill(abandon_pid, SIGKILL);
  if (abandon_path[0]) unlink(abandon_path);
}
