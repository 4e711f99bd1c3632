#pragma once
// Encodes presented frames and the music into a video file through ffmpeg.
#include <cstdint>
#include <cstdio>
#include <string>

struct VideoEncoder {
  FILE* pipe = nullptr;
  std::string output;
  std::string silent_video;  // pictures only, muxed with the sound at the end
  uint32_t rate = 60;
};

// False with a message when ffmpeg is missing or cannot be started.
bool video_encoder_begin(VideoEncoder* video, const std::string& output, uint32_t rate, std::string* error);
void video_encoder_write_frame(VideoEncoder* video, const uint8_t* rgb, int32_t width, int32_t height);
// Muxes the pictures with the WAV, whose sound starts audio_offset seconds after the first frame.
bool video_encoder_finish(VideoEncoder* video, const std::string& wav_path, double audio_offset, std::string* error);
