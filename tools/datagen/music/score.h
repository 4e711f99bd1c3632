// The composer's sheet: every channel's cells over the whole song, addressed by (order, row)
// with rows running on into the next order, and small writers that fill it from compact text:
// note strings, drum step strings, chord names.
#pragma once
#include <string>
#include <vector>

#include "tools/datagen/music/it_writer.h"

namespace music {

constexpr int kPatternRows = 64;

// Pitches are IT note numbers: 0 is C-0, 60 is C-5 (middle C), 57 is A-4.
// Text: a letter, an optional '#' or 'b', an octave digit ("A4", "C#5", "Bb3"); -1 if bad.
int parse_pitch(const std::string& text);

struct Chord {
  int root = 0;            // pitch class, 0 = C
  std::vector<int> tones;  // pitch classes, root first
};
// "Am", "F", "G7", "Fmaj7", "Dm7", "Esus4", "C#m"...; an empty chord (no tones) if bad.
Chord parse_chord(const std::string& name);

// A chord chart for one order: chord names sharing the 64 rows equally ("Am F C G" gives
// 16 rows each); "-" holds the previous chord without striking it again.
struct ChordSlot {
  int row = 0;
  int rows = 0;
  Chord chord;
  bool struck = true;
};
std::vector<ChordSlot> parse_chart(const std::string& chart);

struct Score {
  int orders = 0;
  int channels = 0;
  std::vector<itw::Cell> cells;     // orders * 64 rows * channels
  std::vector<std::string> charts;  // one chord chart per order
  std::vector<int> pad_voicing;     // the last pad chord, for smooth voice leading
  std::string problem;              // the first malformed piece of text met, for the generator to report
};

Score make_score(int orders, int channels, const std::vector<std::string>& charts);
// The cell at (order, row); rows past 63 continue into the following orders. Null when the
// position lies outside the song.
itw::Cell* cell_at(Score& score, int order, int row, int channel);
// The chord sounding at (order, row).
Chord chord_at(const Score& score, int order, int row);

void strike(Score& score, int order, int row, int channel, int instrument, int pitch, int volume);
void release(Score& score, int order, int row, int channel);  // note off
void silence(Score& score, int order, int row, int channel);  // note cut

// Step strings (drum_steps, bass_steps, chord_stabs) must divide the 64 rows evenly.
// A drum line: `steps` repeats over the 64 rows; '1'..'9' strike at that strength, '.' rests.
void drum_steps(Score& score, int order, int channel, int instrument, int pitch, const std::string& steps, int volume);

// A tune from `row` on: tokens "E5:6" (pitch and length in rows), "-:4" (a rest: the note
// before it is released), "E5:6>" (accented). Returns the row after the last token.
int melody(Score& score, int order, int row, int channel, int instrument, const std::string& tune, int volume,
           int transpose = 0);

// A bass line following the chart: `steps` repeats over the 64 rows; 'R' root, 'O' root an
// octave up, 'F' fifth, 'T' third, lower case for a softer note, '^' release, '.' holds.
void bass_steps(Score& score, int order, int channel, int instrument, const std::string& steps, int volume);

// Held chords on `voices` channels from `first_channel`, voiced close to the previous chord.
void pad_chords(Score& score, int order, int first_channel, int voices, int instrument, int volume);
void release_pads(Score& score, int order, int row, int first_channel, int voices);

// An arpeggio over the chord: `shape` lists indexes into the ladder of chord tones rising
// from `low` ("0 1 2 3 2 1"); one note every `step_rows` rows.
void arpeggio(Score& score, int order, int channel, int instrument, const std::string& shape, int step_rows, int low,
              int volume);

// Chord stabs on `voices` channels wherever `steps` has a digit (the strength), voiced
// upward from `low`.
void chord_stabs(Score& score, int order, int first_channel, int voices, int instrument, const std::string& steps,
                 int low, int volume);

// A tracker echo: every note of `from` in the orders [first, last] repeated `delay` rows later
// on `to` at `percent` of its volume (only where `to` is free).
void echo(Score& score, int from, int to, int delay, int percent, int first, int last);

// The score cut into one 64-row pattern per order.
std::vector<itw::Pattern> to_patterns(const Score& score);

}  // namespace music
