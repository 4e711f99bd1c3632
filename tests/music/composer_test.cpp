// The composer's text notation and sheet: pitches, chords, charts, step strings, echoes.
#include <gtest/gtest.h>

#include "tests/music/module_readers.h"
#include "tools/datagen/music/it_writer.h"
#include "tools/datagen/music/score.h"
#include "tools/datagen/music/song.h"

namespace {

using namespace music;

TEST(ComposerText, PitchesAreItNotes) {
  EXPECT_EQ(parse_pitch("C5"), 60);
  EXPECT_EQ(parse_pitch("A4"), 57);
  EXPECT_EQ(parse_pitch("G#5"), 68);
  EXPECT_EQ(parse_pitch("Bb3"), 46);
  EXPECT_EQ(parse_pitch("C0"), 0);
  EXPECT_EQ(parse_pitch("B9"), 119);
  for (const char* bad : {"", "C", "H4", "Cb0", "C#", "C10", "c5", "A4x", "#4"}) EXPECT_EQ(parse_pitch(bad), -1) << bad;
}

TEST(ComposerText, ChordNames) {
  EXPECT_EQ(parse_chord("Am").tones, (std::vector<int>{9, 0, 4}));
  EXPECT_EQ(parse_chord("G").tones, (std::vector<int>{7, 11, 2}));
  EXPECT_EQ(parse_chord("E").tones, (std::vector<int>{4, 8, 11}));
  EXPECT_EQ(parse_chord("Fmaj7").tones, (std::vector<int>{5, 9, 0, 4}));
  EXPECT_EQ(parse_chord("Am7").tones, (std::vector<int>{9, 0, 4, 7}));
  EXPECT_EQ(parse_chord("Esus4").tones, (std::vector<int>{4, 9, 11}));
  EXPECT_EQ(parse_chord("Bb").root, 10);
  EXPECT_EQ(parse_chord("C#m").tones, (std::vector<int>{1, 4, 8}));
  for (const char* bad : {"", "H", "Amaj", "am", "A#x"}) EXPECT_TRUE(parse_chord(bad).tones.empty()) << bad;
}

TEST(ComposerText, ChartsShareThePatternAndHold) {
  const std::vector<ChordSlot> slots = parse_chart("Am - F G");
  ASSERT_EQ(slots.size(), 3u);
  EXPECT_EQ(slots[0].row, 0);
  EXPECT_EQ(slots[0].rows, 32);
  EXPECT_EQ(slots[1].row, 32);
  EXPECT_EQ(slots[1].rows, 16);
  EXPECT_EQ(slots[2].row, 48);
  EXPECT_TRUE(parse_chart("Am F C").empty()) << "three chords do not divide 64 rows";
  EXPECT_TRUE(parse_chart("Am X").empty());
  EXPECT_TRUE(parse_chart("").empty());
  // A chart opening with "-" carries the previous order's last chord on, without a new strike.
  const std::vector<ChordSlot> held = parse_chart("- G");
  ASSERT_EQ(held.size(), 2u);
  EXPECT_FALSE(held[0].struck);
  Score score = make_score(3, 2, {"Am F", "- G", "C"});
  EXPECT_EQ(score.problem, "");
  EXPECT_EQ(chord_at(score, 1, 0).root, 5);       // F from order 0
  EXPECT_EQ(chord_at(score, 1, 40).root, 7);      // G
  EXPECT_EQ(chord_at(score, 1, 64 + 3).root, 0);  // rows run on into order 2
  EXPECT_NE(make_score(1, 1, {"Am Q"}).problem, "");
}

itw::Cell cell(Score& score, int order, int row, int channel) { return *cell_at(score, order, row, channel); }

TEST(ComposerSheet, MelodyTokensAndRests) {
  Score score = make_score(2, 2, {"Am", "Am"});
  const int end = melody(score, 0, 60, 1, 3, "E5:2 -:2 A4:4> C5:1", 40, 12);
  EXPECT_EQ(end, 69);
  EXPECT_EQ(cell(score, 0, 60, 1).note, 64 + 12 + 1);
  EXPECT_EQ(cell(score, 0, 60, 1).instrument, 3);
  EXPECT_EQ(cell(score, 0, 60, 1).volume, 40);
  EXPECT_EQ(cell(score, 0, 62, 1).note, itw::kNoteOff);
  EXPECT_EQ(cell(score, 1, 0, 1).note, 57 + 12 + 1) << "a tune runs on into the next order";
  EXPECT_EQ(cell(score, 1, 0, 1).volume, 48) << "accent";
  EXPECT_EQ(cell(score, 1, 4, 1).note, 60 + 12 + 1);
  EXPECT_EQ(score.problem, "");
  melody(score, 0, 0, 0, 1, "E5:0", 40);
  EXPECT_NE(score.problem, "");
  Score other = make_score(1, 1, {"Am"});
  melody(other, 0, 0, 0, 1, "X5:4", 40);
  EXPECT_NE(other.problem, "");
  // Past the song's end nothing is written (and nothing breaks).
  melody(other, 0, 62, 0, 1, "E5:4 E5:4", 40);
  EXPECT_EQ(cell(other, 0, 62, 0).note, 65);
}

TEST(ComposerSheet, StepStringsMustDivideThePattern) {
  Score score = make_score(1, 1, {"Am"});
  drum_steps(score, 0, 0, 1, 60, "9...5...", 64);
  EXPECT_EQ(score.problem, "");
  EXPECT_EQ(cell(score, 0, 0, 0).volume, 64);
  EXPECT_EQ(cell(score, 0, 4, 0).volume, 64 * 5 / 9);
  EXPECT_EQ(cell(score, 0, 56, 0).volume, 64);
  EXPECT_EQ(cell(score, 0, 57, 0).note, itw::kNoNote);
  drum_steps(score, 0, 0, 1, 60, "9..", 64);
  EXPECT_NE(score.problem, "");
}

TEST(ComposerSheet, BassFollowsTheChart) {
  Score score = make_score(1, 1, {"Am F C G"});
  bass_steps(score, 0, 0, 8, "R.O.F.T.^.r.....", 48);
  EXPECT_EQ(cell(score, 0, 0, 0).note, parse_pitch("A2") + 1);
  EXPECT_EQ(cell(score, 0, 2, 0).note, parse_pitch("A3") + 1);
  EXPECT_EQ(cell(score, 0, 4, 0).note, parse_pitch("E3") + 1);
  EXPECT_EQ(cell(score, 0, 6, 0).note, parse_pitch("C3") + 1);
  EXPECT_EQ(cell(score, 0, 8, 0).note, itw::kNoteOff);
  EXPECT_EQ(cell(score, 0, 10, 0).volume, 32);
  EXPECT_EQ(cell(score, 0, 16, 0).note, parse_pitch("F2") + 1);
  EXPECT_EQ(cell(score, 0, 32, 0).note, parse_pitch("C3") + 1);
  EXPECT_EQ(cell(score, 0, 48, 0).note, parse_pitch("G2") + 1);
}

TEST(ComposerSheet, PadsMoveByTheSmallestSteps) {
  Score score = make_score(1, 3, {"C G"});
  pad_chords(score, 0, 0, 3, 9, 30);
  std::vector<int> first, second;
  for (int v = 0; v < 3; ++v) {
    first.push_back(cell(score, 0, 0, v).note - 1);
    second.push_back(cell(score, 0, 32, v).note - 1);
  }
  EXPECT_TRUE(std::is_sorted(first.begin(), first.end()));
  // C E G to G: the nearest G major voicing keeps G and moves the others by a step or two.
  int moved = 0;
  for (int v = 0; v < 3; ++v) moved += std::abs(second[v] - first[v]);
  EXPECT_LE(moved, 4);
  for (int pitch : second) EXPECT_TRUE(pitch % 12 == 7 || pitch % 12 == 11 || pitch % 12 == 2);
}

TEST(ComposerSheet, EchoCopiesLaterAndSofterWhereFree) {
  Score score = make_score(2, 2, {"Am", "Am"});
  strike(score, 0, 10, 0, 5, 60, 40);
  strike(score, 0, 62, 0, 5, 62, 40);
  release(score, 0, 20, 0);
  echo(score, 0, 1, 3, 50, 0, 0);
  EXPECT_EQ(cell(score, 0, 13, 1).note, 61);
  EXPECT_EQ(cell(score, 0, 13, 1).volume, 20);
  EXPECT_EQ(cell(score, 0, 23, 1).note, itw::kNoteOff) << "the release is echoed too";
  EXPECT_EQ(cell(score, 1, 1, 1).note, 63) << "echoes run into the next order";
  // A note of the echo channel's own is never overwritten.
  strike(score, 0, 40, 0, 5, 60, 40);
  strike(score, 0, 43, 1, 6, 50, 20);
  echo(score, 0, 1, 3, 50, 0, 0);
  EXPECT_EQ(cell(score, 0, 43, 1).instrument, 6);
}

TEST(ComposerSong, DeterministicAndWellFormed) {
  std::string problem;
  const itw::Module first = compose_song(&problem);
  EXPECT_EQ(problem, "");
  EXPECT_EQ(itw::check_module(first), "");
  std::string again;
  const std::vector<uint8_t> bytes = itw::write_it(first);
  EXPECT_EQ(bytes, itw::write_it(compose_song(&again)));
  // The module beside the programs is this one (the build keeps it up to date).
  EXPECT_EQ(music_test::read_bytes("tarnwick.it"), bytes);
}

}  // namespace
