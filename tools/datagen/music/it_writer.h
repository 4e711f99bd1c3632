// Writes Impulse Tracker (.it) modules: plain structures in, file bytes out.
// Only what the show's music needs: instrument mode, 16-bit uncompressed samples, volume
// envelopes, 64-channel packed patterns and a song message.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace itw {

constexpr int kMaxChannels = 64;

// Cell values, numbered as libopenmpt reports them: note 1 is C-0, 61 is C-5, 120 is B-9.
constexpr uint8_t kNoNote = 0;
constexpr uint8_t kNoteCut = 254;
constexpr uint8_t kNoteOff = 255;
constexpr uint8_t kNoVolume = 255;

// Effect letters A..Z are 1..26.
constexpr uint8_t effect_letter(char letter) { return static_cast<uint8_t>(letter - 'A' + 1); }

// The volume column holds IT's raw byte: 0..64 volume, 128..192 panning, and the slide ranges.
struct Cell {
  uint8_t note = kNoNote;
  uint8_t instrument = 0;  // 1-based, 0 = none
  uint8_t volume = kNoVolume;
  uint8_t effect = 0;  // 0 = none
  uint8_t param = 0;
};

struct Pattern {
  int rows = 64;
  int channels = 0;         // cells per row
  std::vector<Cell> cells;  // rows * channels, row-major
};

Pattern make_pattern(int rows, int channels);
Cell& cell_at(Pattern& pattern, int row, int channel);
const Cell& cell_at(const Pattern& pattern, int row, int channel);

struct EnvelopePoint {
  uint16_t tick = 0;
  int8_t value = 0;  // 0..64 for volume
};

struct Envelope {
  bool enabled = false;
  bool loop = false;
  bool sustain = false;
  uint8_t loop_begin = 0, loop_end = 0;        // point indices
  uint8_t sustain_begin = 0, sustain_end = 0;  // point indices
  std::vector<EnvelopePoint> points;           // at most 25
};

enum class NewNoteAction : uint8_t { cut = 0, keep = 1, note_off = 2, fade = 3 };

struct Instrument {
  std::string name;
  int sample = 1;  // 1-based sample played on every key
  NewNoteAction new_note_action = NewNoteAction::cut;
  int fadeout = 0;          // 0..256, volume lost per tick after note-off, in 1/1024
  int global_volume = 128;  // 0..128
  int default_pan = -1;     // 0..64, -1 = keep the channel's
  int filter_cutoff = -1;   // 0..127, -1 = no filter
  int filter_resonance = -1;
  Envelope volume_envelope;
};

enum class VibratoWave : uint8_t { sine = 0, ramp_down = 1, square = 2, random = 3 };

struct Sample {
  std::string name;
  std::vector<int16_t> data;
  uint32_t c5_speed = 44100;  // playback rate of note C-5
  int default_volume = 64;    // 0..64
  int global_volume = 64;     // 0..64
  int default_pan = -1;       // 0..64, -1 = none
  bool loop = false;
  bool ping_pong = false;
  uint32_t loop_begin = 0;
  uint32_t loop_end = 0;  // exclusive
  int vibrato_speed = 0, vibrato_depth = 0, vibrato_sweep = 0;
  VibratoWave vibrato_wave = VibratoWave::sine;
};

struct Module {
  std::string name;         // up to 25 characters
  std::string message;      // lines separated by '\n'
  int initial_speed = 6;    // ticks per row
  int initial_tempo = 125;  // ticks per 2.5 s
  int global_volume = 128;  // 0..128
  int mixing_volume = 48;   // 0..128
  int stereo_separation = 128;
  int rows_per_beat = 4, rows_per_measure = 16;  // editor highlight only
  int channels = 0;                              // channels in use, 1..64
  int channel_pan[kMaxChannels];                 // 0..64
  int channel_volume[kMaxChannels];              // 0..64
  bool linear_slides = true;
  std::vector<uint8_t> orders;  // pattern numbers; 254 = skip marker
  std::vector<Pattern> patterns;
  std::vector<Instrument> instruments;
  std::vector<Sample> samples;

  Module();
};

// Empty when the module can be written; otherwise the first problem found.
std::string check_module(const Module& module);

// The module as .it file bytes. The module must pass check_module.
std::vector<uint8_t> write_it(const Module& module);

// check_module, write_it and store; the problem (or the I/O failure) in *error.
bool save_it(const Module& module, const std::string& path, std::string* error);

}  // namespace itw
