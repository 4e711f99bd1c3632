// The show's soundtrack, section by section, in A minor.
#include "tools/datagen/music/song.h"

#include <vector>

#include "tools/datagen/music/instruments.h"
#include "tools/datagen/music/score.h"
#include "tools/datagen/music/show_cues.h"

namespace music {
namespace {

// The chord chart, one line per order (chords share the 64 rows equally, "-" holds).
const std::vector<std::string> kCharts = {
    "Am",          "Am - F -",   "C - G -",   "Am - F -",    "C - G -",  // 0-4 opening
    "Am F C G",    "Am F C G",   "Am F C G",  "F G Esus4 E",             // 5-8 build
    "Am F C G",    "Am F C G",   "F G Em Am", "F G Em E",                // 9-12 the lattice
    "Fmaj7 - G -", "Am7 - Em -",                                         // 13-14 breakdown
    "F G Am Am",   "F G E E",                                            // 15-16 tension
    "Am F C G",    "Am F C G",   "Am F C G",  "F G Esus4 E",             // 17-20 groove
    "Am F C G",    "Am F C G",   "Am - F -",  "C - G -",     "Am",       // 21-25 wind down
    "Am F C G",    "Am F C G",                                           // 26-27 theme intro
    "Am F C G",    "Am F C G",   "Am F C G",  "Am F C G",                // 28-31 theme A
    "Dm Am F E",   "Dm Am F E",  "Am F C G",  "Am F C G",                // 32-35 B, A
    "Am F C G",    "Am F C G",   "Dm Am F E", "Dm Am F E",               // 36-39 bridge, B
    "Am F C G",    "Am F C G",   "Am F G E",  "Am",                      // 40-43 finale
};

// The main theme: two phrases over Am F C G, every bar in the 3+3+2 of the beat.
const char* const kThemeA1 = "E5:6 A5:6 G5:4  F5:6 E5:6 C5:4  E5:6 G5:6 E5:2 D5:2  D5:12 B4:2 C5:2";
const char* const kThemeA2 = "E5:6 A5:6 B5:4  C6:6 B5:6 A5:4  G5:6 E5:6 C5:4  D5:6 E5:10";
const char* const kThemeEnd = "E5:6 A5:6 B5:4  C6:6 B5:6 A5:4  B5:6 G5:6 D5:4  E5:6 G#5:6 B5:4";
// Its answer over Dm Am F E.
const char* const kThemeB1 = "D5:2 E5:2 F5:4 A5:4 F5:4  E5:6 C5:6 A4:4  C5:2 D5:2 F5:4 A5:4 C6:4  B5:6 G#5:6 E5:4";
const char* const kThemeB2 = "F5:2 E5:2 D5:4 F5:4 A5:4  C6:6 B5:6 A5:4  A5:2 G5:2 F5:4 C5:4 F5:4  E5:6 D5:6 B4:4";
// The theme's first phrase at half speed, for the opening's bells and the breakdown.
const char* const kSlowA1 = "E5:12 A5:12 G5:8  F5:12 E5:12 C5:8";
const char* const kSlowA2 = "E5:12 G5:12 E5:4 D5:4  D5:24 B4:4 C5:4";
// The groove's lead riff.
const char* const kRiff1 =
    "A4:3 C5:3 E5:2 A5:4 G5:2 E5:2  F5:3 E5:3 C5:2 A4:8  "
    "G4:3 C5:3 E5:2 G5:4 E5:2 C5:2  D5:3 B4:3 G4:2 B4:4 D5:4";
const char* const kRiff2 =
    "A4:3 C5:3 E5:2 A5:4 G5:2 E5:2  D5:3 B4:3 G4:2 D5:8  "
    "E5:3 B4:3 A4:2 B4:8  G#4:3 B4:3 E5:2 G#5:8";

// Bass and drum step strings (32 rows, repeated).
const char* const kGrooveBass = "R.....R...o.R..^R.......o.....R.";
const char* const kPulseBass = "R.r.R.r.R.r.R.r.R.r.R.r.R.r.R.r.";
const char* const kHalfBass = "R...............R.......R.....^.";
const char* const kHats16 = "7.4.7.4.7.4.7.4.7.4.7.4.7.4.7.4.";
const char* const kHats8 = "6...4...6...4...6...4...6...4...";
const char* const kHatsBusy = "7373737373737373";
// Open hats on the last off-beat of each bar: they overwrite (and so are choked by) closed ones.
const char* const kOpenHats = "..............6...............6.";

const int kLow = 57;  // A-4, the bottom of the arpeggios

// Drums that land on the rows where the show flashes its picture: kick on the first two hits
// of each group of three, snare on the third... following kBeatRows' two-bar figure.
void beat_drums(Score& s, int order, int kick_volume, int snare_volume, int clap_volume, bool shifted_rows) {
  // Which of the twelve hits are snares: 12, 24, 44, 56.
  static const bool kSnareHit[12] = {false, false, true, false, true, false, false, false, true, false, true, false};
  std::vector<int> rows;
  if (shifted_rows) {
    for (const Cue& cue : show_event_cues())
      if (cue.order == order && cue.kind == CueKind::beat) rows.push_back(cue.row);
  } else {
    rows.assign(kBeatRows, kBeatRows + 12);
  }
  for (size_t i = 0; i < rows.size() && i < 12; ++i) {
    if (kSnareHit[i]) {
      strike(s, order, rows[i], kChSnare, kSnare, 60, snare_volume);
      if (clap_volume > 0) strike(s, order, rows[i], kChClap, kClap, 60, clap_volume);
    } else if (kick_volume > 0) {
      strike(s, order, rows[i], kChKick, kKick, 60, kick_volume);
    }
  }
}

// The first row of `order` that the show flashes on (1 where row 0 holds another event).
int first_beat_row(int order) {
  for (const Cue& cue : show_event_cues())
    if (cue.order == order && cue.kind == CueKind::beat) return cue.row;
  return 0;
}

// Moves what `channel` plays on row 0 to the first flash row, so an entry lands with the drums.
void move_downbeat(Score& s, int order, int channel) {
  const int row = first_beat_row(order);
  if (row == 0) return;
  itw::Cell* from = cell_at(s, order, 0, channel);
  itw::Cell* to = cell_at(s, order, row, channel);
  if (to->note == itw::kNoNote) {
    *to = *from;
    *from = itw::Cell{};
  }
}

// A big accent for a scene switch or caption: cymbal and a deep kick.
void impact(Score& s, int order, int row, int volume) {
  strike(s, order, row, kChCrash, kCrash, 60, volume);
  strike(s, order, row, kChKick, kKick, 55, volume + 8);
}

// A snare roll from `from` to the pattern's end: quarter notes, then eighths, then
// sixteenths, growing louder.
void snare_roll(Score& s, int order, int from, int volume_from, int volume_to) {
  for (int row = from; row < kPatternRows; ++row) {
    const int left = kPatternRows - row;
    const int every = left > 24 ? 4 : left > 8 ? 2 : 1;
    if ((row - from) % every != 0) continue;
    const int volume = volume_from + (volume_to - volume_from) * (row - from) / (kPatternRows - from);
    strike(s, order, row, kChSnare, kSnare, 60, volume);
  }
}

void bells(Score& s, int order, int row, const char* tune, int volume) {
  melody(s, order, row, kChBell, kBell, tune, volume);
}

// Orders 0-8: a held chord swells out of air and a low drone; the theme's head rings on
// bells at every caption; an arpeggio and a bass creep in and a riser leads into the beat.
void opening(Score& s) {
  strike(s, 0, 0, kChAir, kAir, 60, 14);
  strike(s, 0, 0, kChDrone, kDrone, parse_pitch("A2"), 24);
  pad_chords(s, 0, kChPad1, 4, kPadSlow, 14);
  for (int order = 1; order <= 4; ++order) {
    pad_chords(s, order, kChPad1, 4, kPadSlow, 14 + 2 * order);
    strike(s, order, 0, kChCrash, kCrash, 48, 16);  // a soft cymbal under each caption
    bells(s, order, 0, order % 2 == 1 ? kSlowA1 : kSlowA2, 22);
  }
  release(s, 2, 0, kChDrone);
  for (int order = 3; order <= 4; ++order) {
    arpeggio(s, order, kChArp, kPluck, "0 2 4 2", 4, kLow, 10 + 4 * (order - 3));
  }
  bass_steps(s, 4, kChBass, kBass, kHalfBass, 34);
  for (int order = 5; order <= 8; ++order) {
    pad_chords(s, order, kChPad1, 4, kPad, 22);
    arpeggio(s, order, kChArp, kPluck, "0 1 2 3 4 3 2 1", 2, kLow, 14 + 2 * (order - 5));
  }
  strike(s, 5, 0, kChCrash, kCrash, 60, 24);
  bells(s, 5, 0, "A5:16 A5:16 G5:16 G5:16", 22);
  bass_steps(s, 5, kChBass, kBass, kHalfBass, 38);
  drum_steps(s, 5, kChHats, kHatClosed, 60, kHats8, 18);
  bass_steps(s, 6, kChBass, kBass, kGrooveBass, 36);
  drum_steps(s, 6, kChHats, kHatClosed, 60, kHats16, 20);
  bass_steps(s, 7, kChBass, kBass, kGrooveBass, 40);
  drum_steps(s, 7, kChHats, kHatClosed, 60, kHats16, 24);
  bells(s, 7, 0, "E5:6 A5:6 G5:4  F5:6 E5:6 C5:4  E5:6 G5:6 E5:2 D5:2  D5:16", 20);
  // Order 8: the dominant, a riser and a snare roll into the drop.
  bass_steps(s, 8, kChBass, kBass, kPulseBass, 40);
  drum_steps(s, 8, kChHats, kHatClosed, 60, kHatsBusy, 24);
  strike(s, 8, 0, kChRiser, kRiser, 60, 40);
  snare_roll(s, 8, 32, 14, 46);
  release(s, 8, 60, kChAir);
}

// The groove's parts shared by the lattice, the spiked ball and the scroller.
void groove_parts(Score& s, int order, int bass_volume, int pad_volume, int hat_volume) {
  bass_steps(s, order, kChBass, kBass, kGrooveBass, bass_volume);
  pad_chords(s, order, kChPad1, 4, kPad, pad_volume);
  drum_steps(s, order, kChHats, kHatClosed, 60, kHats16, hat_volume);
  drum_steps(s, order, kChHats, kHatOpen, 60, kOpenHats, hat_volume);
}

// Orders 9-12: the beat enters on the flash rows; at order 11 the harmony turns to
// F G Em and the arpeggio runs downwards, as the lattice reverses.
void lattice(Score& s) {
  for (int order = 9; order <= 12; ++order) {
    beat_drums(s, order, 60, 48, order >= 10 ? 30 : 0, true);
    groove_parts(s, order, 46, 20, 26);
    const bool reversed = order >= 11;
    arpeggio(s, order, kChArp, kPluck, reversed ? "7 6 5 4 3 2 1 0" : "0 1 2 3 4 5 6 7", 2, kLow, 18);
    move_downbeat(s, order, kChBass);
    move_downbeat(s, order, kChHats);
  }
  for (int order : {9, 11}) strike(s, order, first_beat_row(order), kChCrash, kCrash, 60, 44);
  melody(s, 11, 0, kChLead, kLead, "E5:16 D5:16 B4:16 C5:16", 30);
  melody(s, 12, 0, kChLead, kLead, "A4:16 B4:16 G4:16 G#4:12 -:4", 30);
  release(s, 12, 62, kChBass);
}

// Orders 13-14: no drums; the pads swell, the lead sings the theme slowly with a long echo.
void breakdown(Score& s) {
  strike(s, 13, 0, kChCrash, kCrash, 60, 30);
  strike(s, 13, 0, kChAir, kAir, 60, 18);
  for (int order = 13; order <= 14; ++order) {
    pad_chords(s, order, kChPad1, 4, kPadSlow, 24);
    bass_steps(s, order, kChBass, kBass, "R...............................", 30);
    arpeggio(s, order, kChArp, kPluck, "0 2 4 6 4 2", 4, kLow, 12);
  }
  melody(s, 13, 0, kChLead, kLead, "A5:12 G5:12 E5:8  D5:12 B4:12 G5:8", 32);
  melody(s, 14, 0, kChLead, kLead, "C6:12 B5:12 A5:8  G5:12 E5:12 B4:4 -:4", 32);
  release(s, 14, 48, kChAir);
}

// Orders 15-16: tension: a pulsing pedal, accents on each word, a riser over both
// patterns and a snare roll into the drop.
void tension(Score& s) {
  strike(s, 15, 0, kChRiser, kRiser, 48, 44);  // an octave down: it spans both patterns
  for (int order = 15; order <= 16; ++order) {
    impact(s, order, 0, 44);
    impact(s, order, 32, 40);
    bass_steps(s, order, kChBass, kBass, kPulseBass, 42);
    pad_chords(s, order, kChPad1, 4, kPad, 22);
    drum_steps(s, order, kChHats, kHatClosed, 60, order == 15 ? kHats8 : kHats16, 24);
    arpeggio(s, order, kChArp, kPluck, "0 1 2 3 4 5 6 7 8 7 6 5 4 3 2 1", 1, kLow, 14 + 4 * (order - 15));
  }
  snare_roll(s, 16, 32, 18, 50);
}

// Orders 17-20: the full groove, chord stabs on every flash, the lead riff from order 19.
void groove(Score& s) {
  for (int order = 17; order <= 20; ++order) {
    beat_drums(s, order, 62, 50, 34, true);
    groove_parts(s, order, 48, 18, 28);
    std::string stabs(kPatternRows, '.');
    for (const Cue& cue : show_event_cues())
      if (cue.order == order && cue.kind == CueKind::beat) stabs[cue.row] = '9';
    chord_stabs(s, order, kChStab1, 3, kStab, stabs, kLow, 20);
    arpeggio(s, order, kChArp, kPluck, "0 1 2 3 4 3 2 1", 2, kLow + 12, 14);
    move_downbeat(s, order, kChBass);
    move_downbeat(s, order, kChHats);
  }
  strike(s, 17, first_beat_row(17), kChCrash, kCrash, 60, 48);
  melody(s, 19, 0, kChLead, kLead, kRiff1, 34);
  melody(s, 20, 0, kChLead, kLead, kRiff2, 34);
}

// Orders 21-25: the groove thins out part by part; the theme's head returns with the title
// at order 25 and everything dies away with the picture's fade at row 32.
void wind_down(Score& s) {
  strike(s, 21, 0, kChCrash, kCrash, 60, 40);
  for (int order = 21; order <= 22; ++order) {
    beat_drums(s, order, 56 - 6 * (order - 21), order == 21 ? 44 : 0, 0, false);
    groove_parts(s, order, 44, 20, 24 - 4 * (order - 21));
  }
  arpeggio(s, 21, kChArp, kPluck, "0 1 2 3 4 3 2 1", 2, kLow, 14);
  melody(s, 21, 0, kChLead, kLead, kRiff1, 28);
  release(s, 22, 0, kChLead);
  strike(s, 23, 0, kChAir, kAir, 60, 16);
  for (int order = 23; order <= 24; ++order) {
    pad_chords(s, order, kChPad1, 4, kPadSlow, 22);
    bass_steps(s, order, kChBass, kBass, kHalfBass, 34 - 4 * (order - 23));
    drum_steps(s, order, kChHats, kHatClosed, 60, kHats8, 18 - 4 * (order - 23));
    arpeggio(s, order, kChArp, kPluck, "0 2 4 2", 4, kLow, 12);
  }
  release(s, 24, 62, kChBass);
  // The title: the theme's head on bells over a last swell, released as the picture fades.
  strike(s, 25, 0, kChCrash, kCrash, 48, 24);
  pad_chords(s, 25, kChPad1, 4, kPadSlow, 22);
  bells(s, 25, 0, "E5:6 A5:6 G5:4 E5:16", 28);
  release_pads(s, 25, 32, kChPad1, 4);
  release(s, 25, 32, kChAir);
}

// The scroller's drums: the same two-bar figure on the plain flash rows.
void theme_drums(Score& s, int order, bool snare) { beat_drums(s, order, 58, snare ? 46 : 0, snare ? 26 : 0, false); }

// Orders 26-43: the main theme, its answer, a lighter bridge, a last statement and the end.
void main_theme(Score& s) {
  strike(s, 26, 0, kChCrash, kCrash, 60, 30);
  bells(s, 26, 0, "A5:16 E6:16 C6:16 B5:16", 24);
  for (int order = 26; order <= 27; ++order) {
    pad_chords(s, order, kChPad1, 4, kPad, 22);
    arpeggio(s, order, kChArp, kPluck, "0 1 2 3 4 3 2 1", 2, kLow, 12 + 4 * (order - 26));
  }
  bass_steps(s, 27, kChBass, kBass, kHalfBass, 40);
  drum_steps(s, 27, kChHats, kHatClosed, 60, kHats8, 20);
  strike(s, 27, 48, kChRiser, kRiser, 84, 26);  // two octaves up: a quick sweep into the theme

  struct Statement {
    int order;
    const char* tune;
    bool snare, stabs, bell_double;
  };
  const Statement statements[] = {
      {28, kThemeA1, false, false, false}, {29, kThemeA2, false, false, false}, {30, kThemeA1, true, false, true},
      {31, kThemeA2, true, false, true},   {32, kThemeB1, true, false, false},  {33, kThemeB2, true, false, false},
      {34, kThemeA1, true, true, false},   {35, kThemeA2, true, true, false},   {38, kThemeB1, true, false, true},
      {39, kThemeB2, true, false, true},   {40, kThemeA1, true, true, true},    {41, kThemeA2, true, true, true},
      {42, kThemeEnd, true, true, true},
  };
  for (const Statement& st : statements) {
    const int o = st.order;
    theme_drums(s, o, st.snare);
    groove_parts(s, o, 42, 16, st.snare ? 26 : 22);
    melody(s, o, 0, kChLead, kLead, st.tune, 42);
    arpeggio(s, o, kChArp, kPluck, "0 1 2 3 4 3 2 1", 2, kLow, 12);
    if (st.bell_double) melody(s, o, 0, kChBell, kBell, st.tune, 18, 12);
    if (st.stabs) chord_stabs(s, o, kChStab1, 3, kStab, "9.....9.....9...9.......9.....9.", kLow, 16);
  }
  for (int order : {28, 30, 32, 34, 38, 40, 42}) strike(s, order, 0, kChCrash, kCrash, 60, 36);
  // Orders 36-37, the bridge: no kick or snare, the theme on bells over swelling pads.
  for (int order = 36; order <= 37; ++order) {
    pad_chords(s, order, kChPad1, 4, kPadSlow, 24);
    bass_steps(s, order, kChBass, kBass, kHalfBass, 38);
    drum_steps(s, order, kChHats, kHatClosed, 60, kHats8, 20);
    arpeggio(s, order, kChArp, kPluck, "0 2 4 2", 4, kLow, 14);
  }
  bells(s, 36, 0, kThemeA1, 30);
  bells(s, 37, 0, kThemeA2, 30);
  release(s, 36, 0, kChLead);
  snare_roll(s, 37, 48, 16, 40);

  // Order 43: the last chord, ringing out before the picture's end at row 32.
  impact(s, 43, 0, 48);
  strike(s, 43, 0, kChBass, kBass, parse_pitch("A2"), 46);
  pad_chords(s, 43, kChPad1, 4, kPad, 24);
  strike(s, 43, 0, kChLead, kLead, parse_pitch("A5"), 36);
  strike(s, 43, 0, kChBell, kBell, parse_pitch("A5"), 26);
  strike(s, 43, 0, kChArp, kPluck, parse_pitch("E6"), 16);
  release(s, 43, 12, kChBass);
  release(s, 43, 16, kChLead);
  release_pads(s, 43, 16, kChPad1, 4);
}

// Echoes three rows (a dotted eighth) behind the lead, arpeggio and bells, panned apart.
void echoes(Score& s) {
  echo(s, kChLead, kChLeadEcho, 3, 40, 0, kOrders - 1);
  echo(s, kChArp, kChArpEcho, 3, 45, 0, kOrders - 1);
  echo(s, kChBell, kChBellEcho, 6, 45, 0, kOrders - 1);
}

// Nothing may ring on into the loop back to the start.
void end_of_song(Score& s) {
  for (int channel = 0; channel < kChannelCount; ++channel) silence(s, kOrders - 1, 63, channel);
}

const int kChannelPan[kChannelCount] = {
    32, 32, 36, 42, 26, 32,  // kick, snare, clap, hats, crash, riser
    32, 14, 50, 22, 42,      // bass, pads
    30, 50, 22, 44,          // lead, its echo, arpeggio, its echo
    20, 32, 44,              // stabs
    40, 20, 32, 32,          // bell, its echo, air, drone
};

const char* const kMessage =
    "tarnwick\n"
    "\n"
    "Music for the tarnwick show,\n"
    "composed and synthesized in code:\n"
    "every sound is made by the program\n"
    "that writes this module.\n"
    "\n"
    "A minor, 150 beats a minute.";

}  // namespace

itw::Module compose_song(std::string* problem) {
  Score s = make_score(kOrders, kChannelCount, kCharts);
  opening(s);
  lattice(s);
  breakdown(s);
  tension(s);
  groove(s);
  wind_down(s);
  main_theme(s);
  echoes(s);
  end_of_song(s);
  *problem = s.problem;

  itw::Module module;
  module.name = "tarnwick";
  module.message = kMessage;
  module.initial_speed = kSpeed;
  module.initial_tempo = kTempo;
  module.global_volume = 128;
  module.mixing_volume = 80;
  module.channels = kChannelCount;
  for (int c = 0; c < kChannelCount; ++c) module.channel_pan[c] = kChannelPan[c];
  build_instruments(&module.samples, &module.instruments);
  module.patterns = to_patterns(s);
  for (int order = 0; order < kOrders; ++order) module.orders.push_back(static_cast<uint8_t>(order));
  return module;
}

}  // namespace music
