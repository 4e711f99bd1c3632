// A 16-bit stereo PCM WAV file written as the sound arrives.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>

struct WavWriter {
  FILE* file = nullptr;
  uint64_t frames = 0;
  uint32_t sample_rate = 44100;
};

bool wav_open(WavWriter* wav, const std::string& path, uint32_t sample_rate);
void wav_write(WavWriter* wav, const int16_t* stereo_frames, size_t frame_count);
// Fills in the sizes and closes; false when anything failed.
bool wav_close(WavWriter* wav);
