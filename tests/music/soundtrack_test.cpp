// The real soundtrack: a second reader agrees, the drums hit where the picture flashes, the
// samples are what the module promises, and the mix is loud enough without clipping.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "tests/music/module_readers.h"
#include "tests/render_harness.h"

namespace {

using music_test::OpenmptModule;
using music_test::XmpModule;

const int kFlashRows[12] = {0, 6, 12, 16, 24, 30, 32, 38, 44, 48, 56, 62};

// Rows of `order` where the picture flashes: the figure above, row 0 moved to row 1 where a
// caption or the direction toggle holds row 0.
std::set<int> flash_rows(int order) {
  std::set<int> rows;
  const bool row0_taken = order == 9 || order == 11 || order == 17;
  for (int row : kFlashRows) rows.insert(row == 0 && row0_taken ? 1 : row);
  return rows;
}

class Soundtrack : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { bytes_ = new std::vector<uint8_t>(music_test::read_bytes("tarnwick.it")); }
  static void TearDownTestSuite() {
    delete bytes_;
    bytes_ = nullptr;
  }
  static std::vector<uint8_t>* bytes_;
};
std::vector<uint8_t>* Soundtrack::bytes_ = nullptr;

TEST_F(Soundtrack, LibxmpAgreesWithLibopenmpt) {
  const OpenmptModule openmpt(*bytes_);
  const XmpModule xmp(*bytes_);
  ASSERT_NE(openmpt.mod, nullptr);
  ASSERT_TRUE(xmp.loaded);
  const xmp_module& mod = *xmp.info.mod;
  EXPECT_STREQ(mod.name, "tarnwick");
  // libxmp lists the end-of-song marker among its orders; the orders played stop there.
  int played_orders = 0;
  while (played_orders < mod.len && mod.xxo[played_orders] != 0xFF) ++played_orders;
  EXPECT_EQ(played_orders, openmpt_module_get_num_orders(openmpt.mod));
  EXPECT_GE(played_orders, 44);
  const double openmpt_seconds = openmpt_module_get_duration_seconds(openmpt.mod);
  ASSERT_GE(xmp.info.num_sequences, 1);
  const double xmp_seconds = xmp.info.seq_data[0].duration / 1000.0;
  EXPECT_NEAR(xmp_seconds, openmpt_seconds, openmpt_seconds * 0.01);
  EXPECT_EQ(mod.chn, openmpt_module_get_num_channels(openmpt.mod));
  EXPECT_EQ(mod.ins, openmpt_module_get_num_instruments(openmpt.mod));
}

TEST_F(Soundtrack, SamplesAreSixteenBitAndSustainedOnesLoop) {
  const XmpModule xmp(*bytes_);
  ASSERT_TRUE(xmp.loaded);
  const xmp_module& mod = *xmp.info.mod;
  EXPECT_GE(mod.smp, 10);
  std::set<std::string> looped;
  for (int i = 0; i < mod.smp; ++i) {
    const xmp_sample& sample = mod.xxs[i];
    EXPECT_TRUE(sample.flg & XMP_SAMPLE_16BIT) << sample.name;
    EXPECT_GT(sample.len, 0) << sample.name;
    if (sample.flg & XMP_SAMPLE_LOOP) looped.insert(sample.name);
  }
  for (const char* name : {"bass", "pad", "lead", "pluck", "air", "drone"}) EXPECT_EQ(looped.count(name), 1u) << name;
  for (const char* name : {"kick", "snare", "clap", "closed hat", "open hat", "crash", "riser", "bell"})
    EXPECT_EQ(looped.count(name), 0u) << name;
  ASSERT_NE(xmp.info.comment, nullptr);
  EXPECT_NE(std::string(xmp.info.comment).find("tarnwick"), std::string::npos);
  // The held sounds shape their notes with volume envelopes.
  int with_envelope = 0;
  for (int i = 0; i < mod.ins; ++i) with_envelope += (mod.xxi[i].aei.flg & XMP_ENVELOPE_ON) != 0;
  EXPECT_GE(with_envelope, 6);
}

// Every note of a kick, snare or clap instrument in the module, as (order, row).
std::set<std::pair<int, int>> drum_hits(const OpenmptModule& module) {
  std::set<int> drums;
  for (int i = 0; i < openmpt_module_get_num_instruments(module.mod); ++i) {
    const char* name = openmpt_module_get_instrument_name(module.mod, i);
    const std::string text = name ? name : "";
    openmpt_free_string(name);
    if (text == "kick" || text == "snare" || text == "clap") drums.insert(i + 1);
  }
  std::set<std::pair<int, int>> hits;
  const int channels = openmpt_module_get_num_channels(module.mod);
  for (int order = 0; order < openmpt_module_get_num_orders(module.mod); ++order) {
    const int pattern = openmpt_module_get_order_pattern(module.mod, order);
    for (int row = 0; row < openmpt_module_get_pattern_num_rows(module.mod, pattern); ++row) {
      for (int channel = 0; channel < channels; ++channel) {
        const int note = openmpt_module_get_pattern_row_channel_command(module.mod, pattern, row, channel,
                                                                        OPENMPT_MODULE_COMMAND_NOTE);
        const int instrument = openmpt_module_get_pattern_row_channel_command(module.mod, pattern, row, channel,
                                                                              OPENMPT_MODULE_COMMAND_INSTRUMENT);
        if (note >= 1 && note <= 120 && drums.count(instrument)) hits.insert({order, row});
      }
    }
  }
  return hits;
}

TEST_F(Soundtrack, DrumsHitExactlyWhereThePictureFlashes) {
  const OpenmptModule module(*bytes_);
  ASSERT_NE(module.mod, nullptr);
  const std::set<std::pair<int, int>> hits = drum_hits(module);
  ASSERT_FALSE(hits.empty());
  for (int order : {9, 10, 11, 12, 17, 18, 19, 20}) {
    std::set<int> rows;
    for (const auto& hit : hits)
      if (hit.first == order) rows.insert(hit.second);
    EXPECT_EQ(rows, flash_rows(order)) << "order " << order;
  }
  // The swirl's breakdown has no drums at all.
  for (const auto& hit : hits) EXPECT_FALSE(hit.first == 13 || hit.first == 14) << "order " << hit.first;
}

struct Loudness {
  double peak_dbfs = -200.0;
  double rms_dbfs = -200.0;
  double seconds = 0.0;
};

Loudness measure(const int16_t* samples, size_t count) {
  double sum = 0.0;
  int peak = 0;
  for (size_t i = 0; i < count; ++i) {
    sum += static_cast<double>(samples[i]) * samples[i];
    peak = std::max(peak, std::abs(static_cast<int>(samples[i])));
  }
  Loudness result;
  if (count == 0) return result;
  result.peak_dbfs = 20.0 * std::log10(std::max(peak, 1) / 32768.0);
  result.rms_dbfs = 10.0 * std::log10(std::max(sum / count, 1e-9) / (32768.0 * 32768.0));
  result.seconds = count / 2.0 / 44100.0;
  return result;
}

void expect_well_mixed(const Loudness& loudness) {
  EXPECT_LE(loudness.peak_dbfs, -1.0) << "clips";
  EXPECT_GE(loudness.rms_dbfs, -24.0) << "too quiet";
  EXPECT_LE(loudness.rms_dbfs, -10.0) << "crushed";
}

TEST_F(Soundtrack, LibopenmptRenderIsLoudWithoutClipping) {
  const OpenmptModule module(*bytes_);
  ASSERT_NE(module.mod, nullptr);
  std::vector<int16_t> all;
  int16_t chunk[2 * 4096];
  size_t got;
  while ((got = openmpt_module_read_interleaved_stereo(module.mod, 44100, 4096, chunk)) > 0)
    all.insert(all.end(), chunk, chunk + 2 * got);
  const Loudness loudness = measure(all.data(), all.size());
  expect_well_mixed(loudness);
  EXPECT_NEAR(loudness.seconds, openmpt_module_get_duration_seconds(module.mod), 0.5);
  RecordProperty("peak_dbfs", std::to_string(loudness.peak_dbfs));
  RecordProperty("rms_dbfs", std::to_string(loudness.rms_dbfs));
}

// The 16-bit samples of a WAV file's data chunk (empty if it is not one).
std::vector<int16_t> wav_samples(const std::vector<uint8_t>& file) {
  std::vector<int16_t> samples;
  if (file.size() < 12 || std::memcmp(file.data(), "RIFF", 4) != 0 || std::memcmp(file.data() + 8, "WAVE", 4) != 0)
    return samples;
  size_t at = 12;
  while (at + 8 <= file.size()) {
    const uint32_t size = file[at + 4] | file[at + 5] << 8 | file[at + 6] << 16 |
                          static_cast<uint32_t>(file[at + 7]) << 24;
    if (std::memcmp(file.data() + at, "data", 4) == 0) {
      const size_t count = std::min<size_t>(size, file.size() - at - 8) / 2;
      samples.resize(count);
      std::memcpy(samples.data(), file.data() + at + 8, count * 2);
      return samples;
    }
    at += 8 + size + (size & 1);
  }
  return samples;
}

TEST_F(Soundtrack, ShowRenderIsLoudWithoutClipping) {
  const std::string wav = "music-loudness.wav";
  std::string output;
  ASSERT_EQ(test_support::run_render("--wav " + wav, &output), 0) << output;
  const std::vector<int16_t> samples = wav_samples(test_support::read_file(wav));
  std::remove(wav.c_str());
  const Loudness loudness = measure(samples.data(), samples.size());
  expect_well_mixed(loudness);
  // The show runs from the music's start to (43,32), about 278 s.
  EXPECT_GT(loudness.seconds, 270.0);
  RecordProperty("peak_dbfs", std::to_string(loudness.peak_dbfs));
  RecordProperty("rms_dbfs", std::to_string(loudness.rms_dbfs));
}

}  // namespace
