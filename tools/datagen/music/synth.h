// Sound synthesis for the module's samples: everything is computed here, nothing is recorded.
// Tones that sustain are built as exact loops (whole cycles of every partial in the loop), so
// they loop without a seam; hits are one-shots that decay to silence.
#pragma once
#include <cstdint>
#include <vector>

namespace music {

using Wave = std::vector<float>;

// Pitch of IT's C-5 in every tonal sample: middle C.
constexpr double kMiddleC = 261.6255653;

// A small deterministic noise source: the same numbers on every build.
struct Noise {
  uint32_t state;
  explicit Noise(uint32_t seed) : state(seed ? seed : 1) {}
  float next();  // uniform in [-1, 1)
};

// Scales to the given peak (1.0 = full scale) and rounds to 16 bits.
std::vector<int16_t> to_pcm(const Wave& wave, double peak);

// A sustained tone as one exact loop of `length` samples. Each voice is a band-limited
// oscillator with `cycles` periods in the loop; voices slightly apart in cycles beat against
// each other (a chorus). `brightness` is the harmonic where the spectrum starts to roll off,
// `odd_only` makes a square-like tone instead of a saw-like one.
struct ToneSpec {
  int length = 4096;
  std::vector<int> voice_cycles;
  int harmonics = 20;
  double brightness = 8.0;
  bool odd_only = false;
  double square_mix = 0.0;  // 0 = pure saw-like, 1 = pure square-like
  uint32_t seed = 1;
};
Wave periodic_tone(const ToneSpec& tone);

// A loop of soft filtered noise (an airy texture): random-phase partials from `low_hz` up,
// falling in level and rolled off around `high_hz`, each a whole number of cycles in the loop.
Wave air_loop(int length, int rate, double low_hz, double high_hz, uint32_t seed);

// One-shot hits at `rate` samples per second.
Wave kick(int rate);
Wave snare(int rate);
Wave hat(int rate, double seconds, uint32_t seed);
Wave clap(int rate);
Wave crash(int rate);
Wave riser(int rate, double seconds);
// A two-operator FM bell with fundamental kMiddleC, ringing for `seconds`.
Wave bell(int rate, double seconds);

}  // namespace music
