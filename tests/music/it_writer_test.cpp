// The module writer, read back by libopenmpt (patterns, header) and libxmp (samples, envelopes).
#include <gtest/gtest.h>

#include "tests/music/module_readers.h"
#include "tools/datagen/music/it_writer.h"

namespace {

using music_test::OpenmptModule;
using music_test::XmpModule;

itw::Sample ramp_sample(const char* name, int length, bool loop) {
  itw::Sample sample;
  sample.name = name;
  for (int i = 0; i < length; ++i) sample.data.push_back(static_cast<int16_t>((i * 997) % 65536 - 32768));
  sample.data[0] = -32768;
  sample.data[1] = 32767;
  sample.loop = loop;
  sample.loop_begin = 100;
  sample.loop_end = static_cast<uint32_t>(length - 50);
  sample.c5_speed = 22050;
  return sample;
}

itw::Module tiny_module() {
  itw::Module m;
  m.name = "roundtrip";
  m.message = "line one\nline two";
  m.initial_speed = 5;
  m.initial_tempo = 133;
  m.global_volume = 100;
  m.mixing_volume = 60;
  m.channels = 3;
  m.samples = {ramp_sample("looped", 1000, true), ramp_sample("one shot", 333, false)};
  itw::Instrument lead;
  lead.name = "lead";
  lead.sample = 1;
  lead.new_note_action = itw::NewNoteAction::fade;
  lead.fadeout = 64;
  lead.volume_envelope.enabled = true;
  lead.volume_envelope.sustain = true;
  lead.volume_envelope.sustain_begin = 1;
  lead.volume_envelope.sustain_end = 2;
  lead.volume_envelope.points = {{0, 0}, {10, 64}, {30, 32}, {60, 0}};
  itw::Instrument hit;
  hit.name = "hit";
  hit.sample = 2;
  hit.volume_envelope.enabled = true;
  hit.volume_envelope.loop = true;
  hit.volume_envelope.loop_begin = 0;
  hit.volume_envelope.loop_end = 1;
  hit.volume_envelope.points = {{0, 64}, {4, 16}};
  m.instruments = {lead, hit};

  itw::Pattern first = itw::make_pattern(64, 3);
  itw::cell_at(first, 0, 0) = {61, 1, 48, itw::effect_letter('A'), 3};
  itw::cell_at(first, 1, 0) = {62, 1, 48, itw::effect_letter('H'), 0x44};  // same mask again
  itw::cell_at(first, 2, 0) = {itw::kNoteOff, 0, itw::kNoVolume, 0, 0};
  itw::cell_at(first, 3, 0) = {itw::kNoteCut, 0, itw::kNoVolume, 0, 0};
  itw::cell_at(first, 0, 2) = {1, 2, 64, 0, 0};
  itw::cell_at(first, 5, 2) = {120, 2, itw::kNoVolume, 0, 0};
  itw::cell_at(first, 63, 1) = {itw::kNoNote, 0, 0, itw::effect_letter('T'), 0x90};
  itw::Pattern second = itw::make_pattern(32, 3);
  itw::cell_at(second, 31, 2) = {itw::kNoteOff, 0, 10, itw::effect_letter('S'), 0x71};
  m.patterns = {first, second};
  m.orders = {0, 1, 0};
  return m;
}

uint8_t command(const OpenmptModule& module, int pattern, int row, int channel, int which) {
  return openmpt_module_get_pattern_row_channel_command(module.mod, pattern, row, channel, which);
}

std::string formatted(const OpenmptModule& module, int pattern, int row, int channel, int which) {
  const char* text = openmpt_module_format_pattern_row_channel_command(module.mod, pattern, row, channel, which);
  std::string value = text ? text : "";
  openmpt_free_string(text);
  return value;
}

TEST(ItWriter, HeaderAndPatternsReadBackInLibopenmpt) {
  const itw::Module m = tiny_module();
  ASSERT_EQ(itw::check_module(m), "");
  const OpenmptModule module(itw::write_it(m));
  ASSERT_NE(module.mod, nullptr) << module.log;
  EXPECT_EQ(module.warnings, "");
  EXPECT_EQ(module.metadata("type"), "it");
  EXPECT_EQ(module.metadata("title"), "roundtrip");
  EXPECT_EQ(module.metadata("message_raw"), "line one\nline two");
  EXPECT_EQ(openmpt_module_get_num_orders(module.mod), 3);
  EXPECT_EQ(openmpt_module_get_num_patterns(module.mod), 2);
  EXPECT_EQ(openmpt_module_get_num_instruments(module.mod), 2);
  EXPECT_EQ(openmpt_module_get_num_samples(module.mod), 2);
  EXPECT_EQ(openmpt_module_get_order_pattern(module.mod, 1), 1);
  EXPECT_EQ(openmpt_module_get_pattern_num_rows(module.mod, 0), 64);
  EXPECT_EQ(openmpt_module_get_pattern_num_rows(module.mod, 1), 32);
  EXPECT_EQ(openmpt_module_get_current_speed(module.mod), 5);
  EXPECT_EQ(openmpt_module_get_current_tempo(module.mod), 133);

  const int note = OPENMPT_MODULE_COMMAND_NOTE, instrument = OPENMPT_MODULE_COMMAND_INSTRUMENT,
            volume = OPENMPT_MODULE_COMMAND_VOLUME, effect = OPENMPT_MODULE_COMMAND_EFFECT,
            param = OPENMPT_MODULE_COMMAND_PARAMETER;
  EXPECT_EQ(command(module, 0, 0, 0, note), 61);
  EXPECT_EQ(command(module, 0, 0, 0, instrument), 1);
  EXPECT_EQ(command(module, 0, 0, 0, volume), 48);
  EXPECT_EQ(formatted(module, 0, 0, 0, effect), "A");
  EXPECT_EQ(command(module, 0, 0, 0, param), 3);
  EXPECT_EQ(command(module, 0, 1, 0, note), 62);
  EXPECT_EQ(command(module, 0, 1, 0, volume), 48);
  EXPECT_EQ(formatted(module, 0, 1, 0, effect), "H");
  EXPECT_EQ(command(module, 0, 1, 0, param), 0x44);
  EXPECT_EQ(command(module, 0, 2, 0, note), itw::kNoteOff);
  EXPECT_EQ(command(module, 0, 3, 0, note), itw::kNoteCut);
  EXPECT_EQ(command(module, 0, 4, 0, note), itw::kNoNote);
  EXPECT_EQ(command(module, 0, 0, 2, note), 1);
  EXPECT_EQ(command(module, 0, 0, 2, instrument), 2);
  EXPECT_EQ(command(module, 0, 0, 2, volume), 64);
  EXPECT_EQ(command(module, 0, 5, 2, note), 120);
  EXPECT_EQ(command(module, 0, 63, 1, note), itw::kNoNote);
  EXPECT_EQ(command(module, 0, 63, 1, volume), 0);
  EXPECT_EQ(formatted(module, 0, 63, 1, effect), "T");
  EXPECT_EQ(command(module, 0, 63, 1, param), 0x90);
  EXPECT_EQ(command(module, 1, 31, 2, note), itw::kNoteOff);
  EXPECT_EQ(command(module, 1, 31, 2, volume), 10);
  EXPECT_EQ(formatted(module, 1, 31, 2, effect), "S");
  EXPECT_EQ(command(module, 1, 31, 2, param), 0x71);
  // Cells left empty stay empty.
  EXPECT_EQ(command(module, 1, 0, 0, note), itw::kNoNote);
  EXPECT_EQ(command(module, 1, 0, 0, instrument), 0);
}

TEST(ItWriter, SamplesAndEnvelopesReadBackInLibxmp) {
  const itw::Module m = tiny_module();
  const XmpModule module(itw::write_it(m));
  ASSERT_TRUE(module.loaded);
  const xmp_module& mod = *module.info.mod;
  ASSERT_EQ(mod.smp, 2);
  ASSERT_EQ(mod.ins, 2);
  EXPECT_EQ(mod.spd, 5);
  EXPECT_EQ(mod.bpm, 133);
  // libxmp counts the end-of-song marker among the orders.
  ASSERT_EQ(mod.len, 4);
  EXPECT_EQ(mod.xxo[1], 1);
  EXPECT_EQ(mod.xxo[3], 0xFF);
  EXPECT_EQ(mod.chn, 3);
  for (int s = 0; s < 2; ++s) {
    const itw::Sample& written = m.samples[s];
    const xmp_sample& read = mod.xxs[s];
    ASSERT_EQ(read.len, static_cast<int>(written.data.size()));
    EXPECT_TRUE(read.flg & XMP_SAMPLE_16BIT);
    EXPECT_EQ((read.flg & XMP_SAMPLE_LOOP) != 0, written.loop);
    // libxmp rewrites what follows a loop for its interpolation: compare up to the loop's end.
    const int compared = written.loop ? static_cast<int>(written.loop_end) : read.len;
    const int16_t* data = reinterpret_cast<const int16_t*>(read.data);
    for (int i = 0; i < compared; ++i) ASSERT_EQ(data[i], written.data[i]) << "sample " << s << " at " << i;
  }
  EXPECT_EQ(mod.xxs[0].lps, 100);
  EXPECT_EQ(mod.xxs[0].lpe, 950);

  const xmp_envelope& lead = mod.xxi[0].aei;
  EXPECT_TRUE(lead.flg & XMP_ENVELOPE_ON);
  ASSERT_EQ(lead.npt, 4);
  const int expected[4][2] = {{0, 0}, {10, 64}, {30, 32}, {60, 0}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(lead.data[2 * i], expected[i][0]);
    EXPECT_EQ(lead.data[2 * i + 1], expected[i][1]);
  }
  EXPECT_EQ(lead.sus, 1);
  EXPECT_EQ(lead.sue, 2);
  EXPECT_FALSE(lead.flg & XMP_ENVELOPE_LOOP);
  const xmp_envelope& hit = mod.xxi[1].aei;
  EXPECT_TRUE(hit.flg & XMP_ENVELOPE_LOOP);
  EXPECT_EQ(hit.lps, 0);
  EXPECT_EQ(hit.lpe, 1);
  EXPECT_STREQ(mod.xxi[0].name, "lead");
  EXPECT_EQ(mod.xxi[0].sub[0].sid, 0);
  EXPECT_EQ(mod.xxi[1].sub[0].sid, 1);
}

TEST(ItWriter, CheckRejectsWhatTheFormatCannotHold) {
  auto broken = [](auto change) {
    itw::Module m = tiny_module();
    change(m);
    return itw::check_module(m);
  };
  EXPECT_NE(broken([](itw::Module& m) { m.orders.push_back(7); }), "");
  EXPECT_NE(broken([](itw::Module& m) { m.orders.clear(); }), "");
  EXPECT_NE(broken([](itw::Module& m) { m.patterns[0].cells[0].instrument = 3; }), "");
  EXPECT_NE(broken([](itw::Module& m) { m.patterns[0].cells[0].note = 121; }), "");
  EXPECT_NE(broken([](itw::Module& m) { m.patterns[0].cells[0].note = 253; }), "");
  EXPECT_NE(broken([](itw::Module& m) { m.patterns[0].cells.pop_back(); }), "");
  EXPECT_NE(broken([](itw::Module& m) { m.patterns[1] = itw::make_pattern(201, 3); }), "");
  EXPECT_NE(broken([](itw::Module& m) { m.samples[0].loop_end = 1001; }), "");
  EXPECT_NE(broken([](itw::Module& m) { m.samples[0].loop_begin = 950; }), "");
  EXPECT_NE(broken([](itw::Module& m) { m.samples[1].data.clear(); }), "");
  EXPECT_NE(broken([](itw::Module& m) { m.instruments[0].sample = 3; }), "");
  EXPECT_NE(broken([](itw::Module& m) { m.instruments[0].volume_envelope.points[2].tick = 10; }), "");
  EXPECT_NE(broken([](itw::Module& m) { m.instruments[0].volume_envelope.points[2].value = 65; }), "");
  EXPECT_NE(broken([](itw::Module& m) { m.instruments[0].volume_envelope.sustain_end = 4; }), "");
  EXPECT_NE(broken([](itw::Module& m) { m.instruments[0].volume_envelope.points.resize(26); }), "");
  EXPECT_NE(broken([](itw::Module& m) { m.initial_speed = 0; }), "");
  EXPECT_NE(broken([](itw::Module& m) { m.channels = 65; }), "");
  std::string error;
  EXPECT_FALSE(itw::save_it(tiny_module(), "/nonexistent-dir/x.it", &error));
  EXPECT_NE(error, "");
}

TEST(ItWriter, OutputIsDeterministic) { EXPECT_EQ(itw::write_it(tiny_module()), itw::write_it(tiny_module())); }

}  // namespace
