// The module's instruments: each sample synthesized, with its volume envelope.
#include "tools/datagen/music/instruments.h"

#include <cmath>

#include "tools/datagen/music/synth.h"

namespace music {
namespace {

constexpr int kRate = 44100;

itw::Sample one_shot(const char* name, const Wave& wave, int rate, double peak) {
  itw::Sample sample;
  sample.name = name;
  sample.data = to_pcm(wave, peak);
  sample.c5_speed = static_cast<uint32_t>(rate);
  return sample;
}

// A loop holding `cycles` periods of the note: C-5 sounds at middle C.
itw::Sample looped(const char* name, const Wave& wave, int cycles, double peak) {
  itw::Sample sample;
  sample.name = name;
  sample.data = to_pcm(wave, peak);
  sample.loop = true;
  sample.loop_begin = 0;
  sample.loop_end = static_cast<uint32_t>(sample.data.size());
  sample.c5_speed = static_cast<uint32_t>(std::lround(kMiddleC * static_cast<double>(wave.size()) / cycles));
  return sample;
}

// Envelope points as (tick, level) pairs; a tick is 1/60 s at the song's tempo.
itw::Envelope envelope(std::vector<itw::EnvelopePoint> points, int sustain_point) {
  itw::Envelope env;
  env.enabled = true;
  env.points = std::move(points);
  if (sustain_point >= 0) {
    env.sustain = true;
    env.sustain_begin = env.sustain_end = static_cast<uint8_t>(sustain_point);
  }
  return env;
}

itw::Instrument instrument(const char* name, int sample, itw::NewNoteAction action, itw::Envelope env = {}) {
  itw::Instrument result;
  result.name = name;
  result.sample = sample;
  result.new_note_action = action;
  result.volume_envelope = std::move(env);
  result.fadeout = 16;
  return result;
}

}  // namespace

void build_instruments(std::vector<itw::Sample>* samples, std::vector<itw::Instrument>* instruments) {
  using itw::NewNoteAction;
  samples->clear();
  instruments->clear();

  samples->push_back(one_shot("kick", kick(kRate), kRate, 0.98));
  samples->push_back(one_shot("snare", snare(kRate), kRate, 0.9));
  samples->push_back(one_shot("clap", clap(kRate), kRate, 0.9));
  samples->push_back(one_shot("closed hat", hat(kRate, 0.07, 3), kRate, 0.7));
  samples->push_back(one_shot("open hat", hat(kRate, 0.4, 5), kRate, 0.7));
  samples->push_back(one_shot("crash", crash(kRate), kRate, 0.8));
  // The riser lasts exactly one pattern (6.4 s) at C-5, two at C-4.
  samples->push_back(one_shot("riser", riser(22050, 6.4), 22050, 0.9));

  const ToneSpec bass = {.length = 2048, .voice_cycles = {8}, .harmonics = 40, .brightness = 5.0, .square_mix = 0.25};
  samples->push_back(looped("bass", periodic_tone(bass), 8, 0.95));

  // Five saws a few cents apart.
  const ToneSpec pad = {
      .length = 32768, .voice_cycles = {198, 199, 200, 201, 202}, .harmonics = 24, .brightness = 4.0, .seed = 17};
  const itw::Sample pad_sample = looped("pad", periodic_tone(pad), 200, 0.9);
  samples->push_back(pad_sample);
  samples->push_back(pad_sample);

  // Saw and square, two voices apart by a few cents.
  const ToneSpec lead = {
      .length = 32768, .voice_cycles = {128, 129}, .harmonics = 30, .brightness = 9.0, .square_mix = 0.5, .seed = 29};
  itw::Sample lead_sample = looped("lead", periodic_tone(lead), 128, 0.9);
  lead_sample.vibrato_speed = 10;  // a gentle vibrato that grows in on held notes
  lead_sample.vibrato_depth = 5;
  lead_sample.vibrato_sweep = 24;
  samples->push_back(lead_sample);

  const ToneSpec pluck = {.length = 2048, .voice_cycles = {8}, .harmonics = 60, .brightness = 14.0, .square_mix = 0.3};
  const itw::Sample pluck_sample = looped("pluck", periodic_tone(pluck), 8, 0.9);
  samples->push_back(pluck_sample);
  samples->push_back(pluck_sample);

  samples->push_back(one_shot("bell", bell(kRate, 2.5), kRate, 0.9));
  itw::Sample air = looped("air", air_loop(65536, kRate, 250.0, 8000.0, 43), 1, 0.9);
  air.c5_speed = kRate;
  samples->push_back(air);

  const ToneSpec drone = {.length = 2048, .voice_cycles = {8}, .harmonics = 4, .brightness = 1.5};
  samples->push_back(looped("drone", periodic_tone(drone), 8, 0.95));

  instruments->push_back(instrument("kick", kKick, NewNoteAction::cut));
  instruments->push_back(instrument("snare", kSnare, NewNoteAction::cut));
  instruments->push_back(instrument("clap", kClap, NewNoteAction::cut));
  instruments->push_back(instrument("closed hat", kHatClosed, NewNoteAction::cut));
  instruments->push_back(instrument("open hat", kHatOpen, NewNoteAction::cut));
  instruments->push_back(instrument("crash", kCrash, NewNoteAction::keep));
  instruments->push_back(instrument("riser", kRiser, NewNoteAction::cut));
  instruments->push_back(instrument("bass", kBass, NewNoteAction::cut, envelope({{0, 64}, {10, 48}, {14, 0}}, 1)));
  instruments->push_back(instrument("pad swell", kPadSlow, NewNoteAction::note_off,
                                    envelope({{0, 0}, {110, 64}, {120, 64}, {230, 0}}, 2)));
  instruments->push_back(
      instrument("pad", kPad, NewNoteAction::note_off, envelope({{0, 0}, {24, 64}, {40, 54}, {110, 0}}, 2)));
  instruments->push_back(
      instrument("lead", kLead, NewNoteAction::note_off, envelope({{0, 0}, {2, 64}, {30, 50}, {48, 0}}, 2)));
  instruments->push_back(
      instrument("pluck", kPluck, NewNoteAction::note_off, envelope({{0, 64}, {4, 38}, {30, 10}, {60, 0}}, -1)));
  instruments->push_back(instrument("stab", kStab, NewNoteAction::note_off, envelope({{0, 64}, {8, 40}, {22, 0}}, -1)));
  instruments->push_back(instrument("bell", kBell, NewNoteAction::keep));
  instruments->push_back(
      instrument("air", kAir, NewNoteAction::note_off, envelope({{0, 0}, {200, 64}, {210, 64}, {400, 0}}, 2)));
  instruments->push_back(
      instrument("drone", kDrone, NewNoteAction::note_off, envelope({{0, 0}, {240, 64}, {250, 64}, {480, 0}}, 2)));
}

}  // namespace music
