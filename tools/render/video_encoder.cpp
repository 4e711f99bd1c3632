#include "tools/render/video_encoder.h"

#include <cstdlib>

namespace {

bool ffmpeg_installed() { return std::system("command -v ffmpeg >/dev/null 2>&1") == 0; }

std::string quoted(const std::string& text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

}  // namespace

bool video_encoder_begin(VideoEncoder* video, const std::string& output, uint32_t rate, std::string* error) {
  if (!ffmpeg_installed()) {
    *error = "--video needs ffmpeg, which is not installed (apt-get install ffmpeg)";
    return false;
  }
  video->output = output;
  video->silent_video = output + ".pictures.mkv";
  video->rate = rate;
  // 4:3 like the mode on a CRT, every source pixel a sharp block.
  const std::string command = "ffmpeg -loglevel error -y -f rawvideo -pix_fmt rgb24 -s 320x200 -framerate " +
                              std::to_string(rate) + " -i - -vf scale=960:720:flags=neighbor,setsar=1 -c:v libx264 " +
                              "-preset veryfast -crf 14 -pix_fmt yuv420p " + quoted(video->silent_video);
  video->pipe = popen(command.c_str(), "w");
  if (!video->pipe) {
    *error = "cannot start ffmpeg";
    return false;
  }
  return true;
}

void video_encoder_write_frame(VideoEncoder* video, const uint8_t* rgb, int32_t width, int32_t height) {
  if (video->pipe) std::fwrite(rgb, 3, static_cast<size_t>(width) * height, video->pipe);
}

bool video_encoder_finish(VideoEncoder* video, const std::string& wav_path, double audio_offset, std::string* error) {
  if (!video->pipe) return false;
  if (pclose(video->pipe) != 0) {
    *error = "ffmpeg failed to encode the pictures";
    return false;
  }
  video->pipe = nullptr;
  const std::string command = "ffmpeg -loglevel error -y -i " + quoted(video->silent_video) + " -itsoffset " +
                              std::to_string(audio_offset) + " -i " + quoted(wav_path) +
                              " -map 0:v -map 1:a -c:v copy -c:a aac -b:a 192k " + quoted(video->output);
  const bool ok = std::system(command.c_str()) == 0;
  std::remove(video->silent_video.c_str());
  if (!ok) *error = "ffmpeg failed to add the music";
  return ok;
}
