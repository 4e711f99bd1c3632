// A 16-bit stereo WAV file written as the sound arrives.
#include "tools/render/wav_writer.h"

namespace {

void put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

void put16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}

void header(uint8_t h[44], uint32_t sample_rate, uint32_t data_bytes) {
  const uint8_t tags[] = "RIFF....WAVEfmt ";
  for (int i = 0; i < 16; ++i) h[i] = tags[i];
  put32(h + 4, 36 + data_bytes);
  put32(h + 16, 16);
  put16(h + 20, 1);  // PCM
  put16(h + 22, 2);
  put32(h + 24, sample_rate);
  put32(h + 28, sample_rate * 4);
  put16(h + 32, 4);
  put16(h + 34, 16);
  h[36] = 'd', h[37] = 'a', h[38] = 't', h[39] = 'a';
  put32(h + 40, data_bytes);
}

}  // namespace

bool wav_open(WavWriter* wav, const std::string& path, uint32_t sample_rate) {
  wav->file = std::fopen(path.c_str(), "wb");
  wav->frames = 0;
  wav->sample_rate = sample_rate;
  if (!wav->file) return false;
  uint8_t h[44];
  header(h, sample_rate, 0);
  return std::fwrite(h, 1, sizeof h, wav->file) == sizeof h;
}

void wav_write(WavWriter* wav, const int16_t* stereo_frames, size_t frame_count) {
  if (!wav->file) return;
  uint8_t bytes[4096];
  size_t used = 0;
  for (size_t i = 0; i < frame_count * 2; ++i) {
    put16(bytes + used, static_cast<uint16_t>(stereo_frames[i]));
    used += 2;
    if (used == sizeof bytes) {
      std::fwrite(bytes, 1, used, wav->file);
      used = 0;
    }
  }
  std::fwrite(bytes, 1, used, wav->file);
  wav->frames += frame_count;
}

bool wav_close(WavWriter* wav) {
  if (!wav->file) return false;
  uint8_t h[44];
  header(h, wav->sample_rate, static_cast<uint32_t>(wav->frames * 4));
  const bool ok = std::fseek(wav->file, 0, SEEK_SET) == 0 && std::fwrite(h, 1, sizeof h, wav->file) == sizeof h;
  const bool closed = std::fclose(wav->file) == 0;
  wav->file = nullptr;
  return ok && closed;
}
