// The samples' synthesis: tones, noise and envelopes, sustained tones as exact loops.
#include "tools/datagen/music/synth.h"

#include <algorithm>
#include <cmath>

namespace music {
namespace {

constexpr double kTwoPi = 6.283185307179586;

// A one-pole low-pass and high-pass pair, the building blocks of the noisy hits.
struct OnePole {
  double state = 0.0;
  double low(double input, double coefficient) { return state += coefficient * (input - state); }
  double high(double input, double coefficient) { return input - low(input, coefficient); }
};

double coefficient_for(double hz, int rate) { return 1.0 - std::exp(-kTwoPi * hz / rate); }

// A state-variable band-pass filter whose centre may move from sample to sample.
struct BandPass {
  double low = 0.0, band = 0.0;
  double step(double input, double hz, double q, int rate) {
    const double f = 2.0 * std::sin(M_PI * std::min(hz, rate / 6.0) / rate);
    low += f * band;
    const double high = input - low - band / q;
    band += f * high;
    return band;
  }
};

// A one-shot of length samples at rate: sample(t) at t = 0, 1/rate, 2/rate, ... in order.
template <typename Sample>
Wave render(int rate, int length, Sample sample) {
  Wave wave(length);
  for (int i = 0; i < length; ++i) wave[i] = sample(static_cast<double>(i) / rate);
  return wave;
}

}  // namespace

float Noise::next() {
  state ^= state << 13;
  state ^= state >> 17;
  state ^= state << 5;
  return static_cast<float>(state / 2147483648.0 - 1.0);
}

std::vector<int16_t> to_pcm(const Wave& wave, double peak) {
  float largest = 0.0f;
  for (float value : wave) largest = std::max(largest, std::fabs(value));
  const double scale = largest > 0.0f ? peak * 32767.0 / largest : 0.0;
  std::vector<int16_t> pcm(wave.size());
  for (size_t i = 0; i < wave.size(); ++i) {
    const long value = std::lround(wave[i] * scale);
    pcm[i] = static_cast<int16_t>(std::clamp(value, -32767L, 32767L));
  }
  return pcm;
}

Wave periodic_tone(const ToneSpec& tone) {
  // Every partial has a whole number of cycles in the loop, so a sine table of the loop's
  // length indexed modulo the length gives exact periodicity.
  const int length = tone.length;
  std::vector<float> table(length);
  for (int i = 0; i < length; ++i) table[i] = static_cast<float>(std::sin(kTwoPi * i / length));
  Noise phases(tone.seed);
  Wave wave(length, 0.0f);
  for (int cycles : tone.voice_cycles) {
    for (int h = 1; h <= tone.harmonics; ++h) {
      const long step = static_cast<long>(cycles) * h;
      if (step * 2 >= length) break;
      const double saw = 1.0 / h;
      const double square = h % 2 == 1 ? 1.0 / h : 0.0;
      double amplitude = tone.odd_only ? square : (1.0 - tone.square_mix) * saw + tone.square_mix * square;
      amplitude /= 1.0 + std::pow(h / tone.brightness, 2.0);
      if (amplitude == 0.0) continue;
      const long offset = static_cast<long>((phases.next() + 1.0f) * 0.5f * length);
      for (int i = 0; i < length; ++i) {
        wave[i] += static_cast<float>(amplitude) * table[(step * i + offset) % length];
      }
    }
  }
  return wave;
}

Wave air_loop(int length, int rate, double low_hz, double high_hz, uint32_t seed) {
  const double bin_hz = static_cast<double>(rate) / length;
  const int first = std::max(1, static_cast<int>(low_hz / bin_hz));
  const int last = static_cast<int>(high_hz / bin_hz);
  std::vector<float> table(length);
  for (int i = 0; i < length; ++i) table[i] = static_cast<float>(std::sin(kTwoPi * i / length));
  Noise noise(seed);
  Wave wave(length, 0.0f);
  // Every third bin is enough for a smooth hiss and keeps the work small.
  for (int bin = first; bin <= last; bin += 3) {
    const double hz = bin * bin_hz;
    // A falling spectrum, rolled off smoothly towards the top: a soft, dark hiss.
    const double tilt = low_hz / hz / (1.0 + (hz / high_hz) * (hz / high_hz) * 4.0);
    const float amplitude = static_cast<float>(tilt * (0.6 + 0.4 * noise.next()));
    const long offset = static_cast<long>((noise.next() + 1.0f) * 0.5f * length);
    for (int i = 0; i < length; ++i) wave[i] += amplitude * table[(static_cast<long>(bin) * i + offset) % length];
  }
  return wave;
}

Wave kick(int rate) {
  double phase = 0.0;
  Noise noise(7);
  OnePole click;
  return render(rate, rate * 45 / 100, [&](double t) {
    const double hz = 46.0 + 130.0 * std::exp(-t * 28.0) + 60.0 * std::exp(-t * 180.0);
    phase += kTwoPi * hz / rate;
    const double body = std::sin(phase) * std::exp(-t * 6.5) * std::min(1.0, t * 2000.0);
    const double knock = click.low(noise.next(), coefficient_for(2500.0, rate)) * std::exp(-t * 120.0);
    return static_cast<float>(std::tanh(1.6 * body) + 0.5 * knock);
  });
}

Wave snare(int rate) {
  Noise noise(11);
  BandPass band;
  OnePole air;
  double phase1 = 0.0, phase2 = 0.0;
  return render(rate, rate * 32 / 100, [&](double t) {
    const double drop = 1.0 + 0.3 * std::exp(-t * 40.0);
    phase1 += kTwoPi * 185.0 * drop / rate;
    phase2 += kTwoPi * 330.0 * drop / rate;
    const double tone = (std::sin(phase1) + 0.5 * std::sin(phase2)) * std::exp(-t * 22.0);
    const double n = noise.next();
    const double rattle = band.step(n, 3200.0, 0.8, rate) * std::exp(-t * 11.0);
    const double sizzle = air.high(n, coefficient_for(6000.0, rate)) * std::exp(-t * 16.0);
    return static_cast<float>(0.8 * tone + 0.9 * rattle + 0.35 * sizzle) *
           static_cast<float>(std::min(1.0, t * 4000.0));
  });
}

Wave hat(int rate, double seconds, uint32_t seed) {
  Noise noise(seed);
  OnePole high1, high2;
  // Six detuned square partials give the metallic ring of a cymbal under the noise.
  const double ratios[6] = {2.0, 3.0, 4.16, 5.43, 6.79, 8.21};
  double phases[6] = {};
  const double decay = 4.6 / seconds;
  return render(rate, static_cast<int>(rate * seconds), [&](double t) {
    double metal = 0.0;
    for (int p = 0; p < 6; ++p) {
      phases[p] += ratios[p] * 400.0 / rate;
      metal += phases[p] - std::floor(phases[p]) < 0.5 ? 1.0 : -1.0;
    }
    double value = 0.6 * noise.next() + 0.1 * metal;
    value = high1.high(value, coefficient_for(7000.0, rate));
    value = high2.high(value, coefficient_for(7000.0, rate));
    return static_cast<float>(value * std::exp(-t * decay) * std::min(1.0, t * 8000.0));
  });
}

Wave clap(int rate) {
  Noise noise(23);
  BandPass band;
  return render(rate, rate * 35 / 100, [&](double t) {
    // Three quick slaps 11 ms apart, then the room's tail.
    double envelope = 0.0;
    for (int slap = 0; slap < 3; ++slap) {
      const double since = t - slap * 0.011;
      if (since >= 0.0) envelope = std::max(envelope, std::exp(-since * 300.0));
    }
    if (t >= 0.022) envelope = std::max(envelope, 0.7 * std::exp(-(t - 0.022) * 14.0));
    return static_cast<float>(band.step(noise.next(), 1300.0, 1.2, rate) * envelope);
  });
}

// A long hat with a washing noise under it.
Wave crash(int rate) {
  Noise noise(37);
  OnePole body;
  Wave wave = render(rate, rate * 5 / 2, [&](double t) {
    const double wash = body.low(noise.next(), coefficient_for(5000.0, rate)) * std::exp(-t * 1.6);
    return static_cast<float>(0.5 * wash * std::min(1.0, t * 500.0));
  });
  const Wave metal = hat(rate, 2.5, 31);
  for (size_t i = 0; i < wave.size(); ++i) wave[i] += metal[i];
  return wave;
}

Wave riser(int rate, double seconds) {
  const int length = static_cast<int>(rate * seconds);
  Wave wave(length);
  Noise noise(41);
  BandPass band;
  double phase = 0.0;
  for (int i = 0; i < length; ++i) {
    const double x = static_cast<double>(i) / length;  // 0 .. 1 over the rise
    const double hz = 200.0 * std::pow(30.0, x);
    const double swoosh = band.step(noise.next(), hz, 2.5, rate);
    phase += kTwoPi * (110.0 * std::pow(4.0, x)) / rate;
    const double tone = 0.15 * std::sin(phase) * x;
    const double swell = x * x * (0.2 + 0.8 * x);
    const double tail = std::min(1.0, (1.0 - x) * 200.0);  // ends without a click
    wave[i] = static_cast<float>((swoosh + tone) * swell * tail);
  }
  return wave;
}

Wave bell(int rate, double seconds) {
  const double carrier = kMiddleC;
  const double modulator = kMiddleC * 3.5;  // an inharmonic ratio rings like metal
  return render(rate, static_cast<int>(rate * seconds), [&](double t) {
    const double index = 2.2 * std::exp(-t * 3.0) + 0.3;
    const double value = std::sin(kTwoPi * carrier * t + index * std::sin(kTwoPi * modulator * t)) +
                         0.25 * std::sin(kTwoPi * carrier * 2.0 * t) * std::exp(-t * 1.5);
    return static_cast<float>(value * std::exp(-t * 1.4) * std::min(1.0, t * 1500.0));
  });
}

}  // namespace music
