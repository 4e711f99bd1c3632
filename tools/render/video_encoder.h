// The show's frames and music into a video file in one pass through ffmpeg's command line, run
// without a shell: 320x200 RGB frames on its standard input, the music as 44100 Hz stereo 16-bit
// on its descriptor 3. ffmpeg writes to a hidden file beside the output, renamed to it only when
// everything succeeded, so a failed or killed encode leaves no partial video.
#pragma once
#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

enum class VideoKind {
  web,       // H.264 and AAC for video sites and players
  lossless,  // FFV1 in RGB and FLAC in Matroska, for archiving
};

struct VideoFormat {
  VideoKind kind = VideoKind::web;
  int32_t width = 0;  // a whole number of 320-pixel blocks; 0: the kind's default
  int32_t height = 0;
  uint32_t rate = 60;
};

// The picture's size in the video, each source pixel a block of block_x by block_y, and the
// sample aspect ratio that shows the whole at 4:3.
struct VideoShape {
  int32_t width, height;
  int32_t block_x, block_y;
  int32_t aspect_num, aspect_den;
};

// Square pixels at 4:3 for video sites; the picture as it is for the archive.
VideoShape video_shape(const VideoFormat& format);
// ffmpeg's command line for an output file, from the program name on.
std::vector<std::string> ffmpeg_arguments(const VideoFormat& format, const std::string& output);

struct VideoEncoder {
  pid_t ffmpeg = -1;
  int frames_fd = -1;  // to ffmpeg's standard input
  int music_fd = -1;   // to ffmpeg's descriptor 3, for the process that renders the music
  std::string output;
  std::string partial;
};

// Starts ffmpeg; false with a message when it is missing or cannot be started.
bool video_encoder_begin(VideoEncoder* video, const VideoFormat& format, const std::string& output, std::string* error);
// Writes all bytes to a pipe; false once its reader has gone.
bool write_to_pipe(int fd, const void* bytes, size_t size);
// Closes the frames and waits for ffmpeg and the music's process (music_pid, -1 when none); the
// video is in place when it returns true.
bool video_encoder_finish(VideoEncoder* video, pid_t music_pid, std::string* error);
// From a signal handler: stops ffmpeg and removes what it wrote.
void video_encoder_abandon_from_signal();
