// The composer's sheet: each channel's cells over the song by (order, row).
#include "tools/datagen/music/score.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <sstream>

namespace music {
namespace {

std::vector<std::string> split_words(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> words;
  std::string word;
  while (in >> word) words.push_back(word);
  return words;
}

int pitch_class(char letter) {
  static const int classes[7] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
  return letter >= 'A' && letter <= 'G' ? classes[letter - 'A'] : -1;
}

// The lowest pitch of class `pc` at or above `low`.
int pitch_at_or_above(int pc, int low) { return low + ((pc - low) % 12 + 12) % 12; }

bool valid_pitch(int pitch) { return pitch >= 0 && pitch < 120; }

void note_problem(Score& score, const std::string& problem) {
  if (score.problem.empty()) score.problem = problem;
}

// Step strings repeat over the pattern, so their length must divide it.
bool steps_fit(Score& score, const std::string& steps) {
  if (!steps.empty() && kPatternRows % steps.size() == 0) return true;
  note_problem(score, "step string of " + std::to_string(steps.size()) + " rows: " + steps);
  return false;
}

}  // namespace

int parse_pitch(const std::string& text) {
  if (text.size() < 2 || text.size() > 3) return -1;
  int pc = pitch_class(text[0]);
  if (pc < 0) return -1;
  size_t at = 1;
  if (text[at] == '#' || text[at] == 'b') {
    pc += text[at] == '#' ? 1 : -1;
    ++at;
  }
  if (at + 1 != text.size() || text[at] < '0' || text[at] > '9') return -1;
  const int pitch = (text[at] - '0') * 12 + pc;
  return valid_pitch(pitch) ? pitch : -1;
}

Chord parse_chord(const std::string& name) {
  Chord chord;
  if (name.empty()) return chord;
  int root = pitch_class(name[0]);
  if (root < 0) return chord;
  size_t at = 1;
  if (at < name.size() && (name[at] == '#' || name[at] == 'b')) {
    root = (root + (name[at] == '#' ? 1 : 11)) % 12;
    ++at;
  }
  const std::string quality = name.substr(at);
  static const struct {
    const char* name;
    std::vector<int> intervals;
  } qualities[] = {{"", {0, 4, 7}},         {"m", {0, 3, 7}},       {"7", {0, 4, 7, 10}},
                   {"maj7", {0, 4, 7, 11}}, {"m7", {0, 3, 7, 10}},  {"sus4", {0, 5, 7}},
                   {"sus2", {0, 2, 7}},     {"add9", {0, 4, 7, 2}}, {"madd9", {0, 3, 7, 2}}};
  for (const auto& q : qualities) {
    if (quality == q.name) {
      chord.root = root;
      for (int interval : q.intervals) chord.tones.push_back((root + interval) % 12);
      return chord;
    }
  }
  return chord;
}

std::vector<ChordSlot> parse_chart(const std::string& chart) {
  const std::vector<std::string> names = split_words(chart);
  std::vector<ChordSlot> slots;
  if (names.empty() || kPatternRows % names.size() != 0) return slots;
  const int rows = kPatternRows / static_cast<int>(names.size());
  for (size_t i = 0; i < names.size(); ++i) {
    if (names[i] == "-" && !slots.empty()) {
      slots.back().rows += rows;
      continue;
    }
    ChordSlot slot;
    slot.row = static_cast<int>(i) * rows;
    slot.rows = rows;
    if (names[i] == "-") {
      slot.struck = false;  // the previous order's chord goes on
    } else {
      slot.chord = parse_chord(names[i]);
      if (slot.chord.tones.empty()) return {};
    }
    slots.push_back(slot);
  }
  return slots;
}

Score make_score(int orders, int channels, const std::vector<std::string>& charts) {
  Score score;
  score.orders = orders;
  score.channels = channels;
  score.cells.assign(static_cast<size_t>(orders) * kPatternRows * channels, itw::Cell{});
  score.charts = charts;
  score.charts.resize(orders, "Am");
  for (const std::string& chart : score.charts) {
    if (parse_chart(chart).empty()) note_problem(score, "bad chord chart " + chart);
  }
  return score;
}

itw::Cell* cell_at(Score& score, int order, int row, int channel) {
  const long absolute = static_cast<long>(order) * kPatternRows + row;
  if (absolute < 0 || absolute >= static_cast<long>(score.orders) * kPatternRows) return nullptr;
  if (channel < 0 || channel >= score.channels) return nullptr;
  return &score.cells[static_cast<size_t>(absolute) * score.channels + channel];
}

Chord chord_at(const Score& score, int order, int row) {
  order += row / kPatternRows;
  row %= kPatternRows;
  if (order >= score.orders) order = score.orders - 1;
  for (int o = order; o >= 0; --o) {
    const std::vector<ChordSlot> slots = parse_chart(score.charts[o]);
    for (auto slot = slots.rbegin(); slot != slots.rend(); ++slot) {
      if (o == order && slot->row > row) continue;
      if (!slot->chord.tones.empty()) return slot->chord;
    }
  }
  return parse_chord("Am");
}

void strike(Score& score, int order, int row, int channel, int instrument, int pitch, int volume) {
  itw::Cell* cell = cell_at(score, order, row, channel);
  if (!cell || !valid_pitch(pitch)) return;
  cell->note = static_cast<uint8_t>(pitch + 1);
  cell->instrument = static_cast<uint8_t>(instrument);
  cell->volume = static_cast<uint8_t>(std::clamp(volume, 0, 64));
}

void release(Score& score, int order, int row, int channel) {
  itw::Cell* cell = cell_at(score, order, row, channel);
  if (cell && cell->note == itw::kNoNote) cell->note = itw::kNoteOff;
}

void silence(Score& score, int order, int row, int channel) {
  itw::Cell* cell = cell_at(score, order, row, channel);
  if (cell) *cell = itw::Cell{itw::kNoteCut, 0, itw::kNoVolume, 0, 0};
}

void drum_steps(Score& score, int order, int channel, int instrument, int pitch, const std::string& steps, int volume) {
  if (!steps_fit(score, steps)) return;
  for (int row = 0; row < kPatternRows; ++row) {
    const char step = steps[row % steps.size()];
    if (step >= '1' && step <= '9') strike(score, order, row, channel, instrument, pitch, volume * (step - '0') / 9);
  }
}

int melody(Score& score, int order, int row, int channel, int instrument, const std::string& tune, int volume,
           int transpose) {
  bool sounding = false;
  for (std::string token : split_words(tune)) {
    const bool accent = token.back() == '>';
    if (accent) token.pop_back();
    const size_t colon = token.find(':');
    const int rows = colon == std::string::npos ? 0 : std::atoi(token.c_str() + colon + 1);
    const std::string what = token.substr(0, colon);
    if (rows <= 0 || (what != "-" && parse_pitch(what) < 0)) {
      note_problem(score, "bad tune token " + token);
      continue;
    }
    if (what == "-") {
      if (sounding) release(score, order, row, channel);
      sounding = false;
    } else {
      strike(score, order, row, channel, instrument, parse_pitch(what) + transpose, accent ? volume + 8 : volume);
      sounding = true;
    }
    row += rows;
  }
  return row;
}

void bass_steps(Score& score, int order, int channel, int instrument, const std::string& steps, int volume) {
  if (!steps_fit(score, steps)) return;
  const int low = parse_pitch("E2");
  for (int row = 0; row < kPatternRows; ++row) {
    const char step = steps[row % steps.size()];
    if (step == '^') release(score, order, row, channel);
    if (step == '.' || step == '^') continue;
    const Chord chord = chord_at(score, order, row);
    const int root = pitch_at_or_above(chord.root, low);
    int pitch = root;
    switch (step | 0x20) {
      case 'o': pitch = root + 12; break;
      case 'f': pitch = root + 7; break;
      case 't': pitch = pitch_at_or_above(chord.tones[1], root); break;
      default: break;
    }
    const bool soft = step >= 'a' && step <= 'z';
    strike(score, order, row, channel, instrument, pitch, soft ? volume * 2 / 3 : volume);
  }
}

void pad_chords(Score& score, int order, int first_channel, int voices, int instrument, int volume) {
  const int low = parse_pitch("E4"), centre = parse_pitch("A4");
  for (const ChordSlot& slot : parse_chart(score.charts[order])) {
    if (!slot.struck) continue;
    // Try every inversion of the chord (tones repeated to fill the voices) and keep the one
    // that moves the voices least from the last chord.
    const std::vector<int>& tones = slot.chord.tones;
    std::vector<int> best;
    long best_cost = LONG_MAX;
    for (size_t inversion = 0; inversion < tones.size(); ++inversion) {
      std::vector<int> voicing;
      int floor = low;
      for (int v = 0; v < voices; ++v) {
        const int pc = tones[(inversion + v) % tones.size()];
        const int pitch = v == 0 ? pitch_at_or_above(pc, floor) : pitch_at_or_above(pc, floor + 1);
        voicing.push_back(pitch);
        floor = pitch;
      }
      long cost = 0;
      if (score.pad_voicing.size() == voicing.size()) {
        for (int v = 0; v < voices; ++v) cost += std::abs(voicing[v] - score.pad_voicing[v]);
      } else {
        cost = std::abs(voicing[0] - centre);
      }
      if (cost < best_cost) {
        best_cost = cost;
        best = voicing;
      }
    }
    for (int v = 0; v < voices; ++v) strike(score, order, slot.row, first_channel + v, instrument, best[v], volume);
    score.pad_voicing = best;
  }
}

void release_pads(Score& score, int order, int row, int first_channel, int voices) {
  for (int v = 0; v < voices; ++v) release(score, order, row, first_channel + v);
}

void arpeggio(Score& score, int order, int channel, int instrument, const std::string& shape, int step_rows, int low,
              int volume) {
  const std::vector<std::string> steps = split_words(shape);
  if (steps.empty() || step_rows <= 0) return;
  int index = 0;
  for (int row = 0; row < kPatternRows; row += step_rows, ++index) {
    const Chord chord = chord_at(score, order, row);
    std::vector<int> ladder;
    for (int pitch = low; ladder.size() < 12 && pitch < low + 48; ++pitch) {
      if (std::find(chord.tones.begin(), chord.tones.end(), pitch % 12) != chord.tones.end()) ladder.push_back(pitch);
    }
    const int step = std::atoi(steps[index % steps.size()].c_str());
    if (step >= 0 && step < static_cast<int>(ladder.size()))
      strike(score, order, row, channel, instrument, ladder[step], volume);
  }
}

void chord_stabs(Score& score, int order, int first_channel, int voices, int instrument, const std::string& steps,
                 int low, int volume) {
  if (!steps_fit(score, steps)) return;
  for (int row = 0; row < kPatternRows; ++row) {
    const char step = steps[row % steps.size()];
    if (step < '1' || step > '9') continue;
    const Chord chord = chord_at(score, order, row);
    int floor = low;
    for (int v = 0; v < voices; ++v) {
      const int pitch = pitch_at_or_above(chord.tones[v % chord.tones.size()], v == 0 ? floor : floor + 1);
      strike(score, order, row, first_channel + v, instrument, pitch, volume * (step - '0') / 9);
      floor = pitch;
    }
  }
}

void echo(Score& score, int from, int to, int delay, int percent, int first, int last) {
  for (int order = first; order <= last; ++order) {
    for (int row = 0; row < kPatternRows; ++row) {
      const itw::Cell source = *cell_at(score, order, row, from);
      if (source.note == itw::kNoNote) continue;
      itw::Cell* target = cell_at(score, order, row + delay, to);
      if (!target || target->note != itw::kNoNote) continue;
      *target = source;
      if (source.volume != itw::kNoVolume) target->volume = static_cast<uint8_t>(source.volume * percent / 100);
    }
  }
}

std::vector<itw::Pattern> to_patterns(const Score& score) {
  std::vector<itw::Pattern> patterns;
  for (int order = 0; order < score.orders; ++order) {
    itw::Pattern pattern = itw::make_pattern(kPatternRows, score.channels);
    const size_t first = static_cast<size_t>(order) * kPatternRows * score.channels;
    std::copy(score.cells.begin() + first, score.cells.begin() + first + pattern.cells.size(), pattern.cells.begin());
    patterns.push_back(pattern);
  }
  return patterns;
}

}  // namespace music
