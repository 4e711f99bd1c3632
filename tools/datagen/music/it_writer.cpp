// Impulse Tracker modules written from plain structures.
#include "tools/datagen/music/it_writer.h"

#include <cstdio>

namespace itw {
namespace {

constexpr size_t kHeaderSize = 0xC0;
constexpr size_t kInstrumentSize = 554;
constexpr size_t kSampleHeaderSize = 80;
constexpr size_t kEnvelopeSize = 82;
constexpr int kMaxEnvelopePoints = 25;
constexpr uint16_t kTrackerVersion = 0x0214;  // written as, and compatible with, IT 2.14

struct Bytes {
  std::vector<uint8_t> data;

  void u8(int value) { data.push_back(static_cast<uint8_t>(value)); }
  void u16(uint32_t value) {
    u8(value & 0xFF);
    u8((value >> 8) & 0xFF);
  }
  void u32(uint32_t value) {
    u16(value & 0xFFFF);
    u16(value >> 16);
  }
  // A fixed-size text field, zero-padded; longer text is cut so a terminator always fits.
  void text(const std::string& value, size_t size) {
    for (size_t i = 0; i < size; ++i) u8(i + 1 < size && i < value.size() ? value[i] : 0);
  }
  void tag(const char (&four)[5]) {
    for (int i = 0; i < 4; ++i) u8(four[i]);
  }
  void zeros(size_t count) { data.insert(data.end(), count, 0); }
  void put_u32_at(size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) data[at + i] = static_cast<uint8_t>(value >> (8 * i));
  }
};

// Pattern cells in IT's packed form: per non-empty cell a channel byte with its mask, the
// fields the mask names, and a zero at each row's end. The mask byte is left out when it
// repeats the channel's previous one.
std::vector<uint8_t> pack_pattern(const Pattern& pattern) {
  Bytes out;
  int last_mask[kMaxChannels];
  for (int& mask : last_mask) mask = -1;
  for (int row = 0; row < pattern.rows; ++row) {
    for (int channel = 0; channel < pattern.channels; ++channel) {
      const Cell& cell = cell_at(pattern, row, channel);
      int mask = 0;
      if (cell.note != kNoNote) mask |= 1;
      if (cell.instrument != 0) mask |= 2;
      if (cell.volume != kNoVolume) mask |= 4;
      if (cell.effect != 0) mask |= 8;
      if (mask == 0) continue;
      if (mask == last_mask[channel]) {
        out.u8(channel + 1);
      } else {
        out.u8((channel + 1) | 0x80);
        out.u8(mask);
        last_mask[channel] = mask;
      }
      if (mask & 1) out.u8(cell.note <= 120 ? cell.note - 1 : cell.note);
      if (mask & 2) out.u8(cell.instrument);
      if (mask & 4) out.u8(cell.volume);
      if (mask & 8) {
        out.u8(cell.effect);
        out.u8(cell.param);
      }
    }
    out.u8(0);
  }
  return out.data;
}

void put_envelope(Bytes& out, const Envelope& envelope, int flat_value) {
  const size_t start = out.data.size();
  int flags = 0;
  if (envelope.enabled) flags |= 1;
  if (envelope.loop) flags |= 2;
  if (envelope.sustain) flags |= 4;
  std::vector<EnvelopePoint> points = envelope.points;
  if (points.empty()) points = {{0, static_cast<int8_t>(flat_value)}, {100, static_cast<int8_t>(flat_value)}};
  out.u8(flags);
  out.u8(static_cast<int>(points.size()));
  out.u8(envelope.loop_begin);
  out.u8(envelope.loop_end);
  out.u8(envelope.sustain_begin);
  out.u8(envelope.sustain_end);
  for (int i = 0; i < kMaxEnvelopePoints; ++i) {
    const EnvelopePoint point = i < static_cast<int>(points.size()) ? points[i] : EnvelopePoint{};
    out.u8(static_cast<uint8_t>(point.value));
    out.u16(point.tick);
  }
  out.zeros(start + kEnvelopeSize - out.data.size());
}

void put_instrument(Bytes& out, const Instrument& instrument) {
  const size_t start = out.data.size();
  out.tag("IMPI");
  out.text("", 12);  // DOS file name
  out.u8(0);
  out.u8(static_cast<int>(instrument.new_note_action));
  out.u8(0);  // duplicate check type: off
  out.u8(0);  // duplicate check action
  out.u16(instrument.fadeout);
  out.u8(0);   // pitch-pan separation
  out.u8(60);  // pitch-pan centre C-5
  out.u8(instrument.global_volume);
  out.u8(instrument.default_pan >= 0 ? instrument.default_pan | 0x80 : 32);
  out.u8(0);  // random volume variation
  out.u8(0);  // random pan variation
  out.u16(kTrackerVersion);
  out.u8(1);  // number of samples
  out.u8(0);
  out.text(instrument.name, 26);
  out.u8(instrument.filter_cutoff >= 0 ? instrument.filter_cutoff | 0x80 : 0);
  out.u8(instrument.filter_resonance >= 0 ? instrument.filter_resonance | 0x80 : 0);
  out.u8(0);        // MIDI channel
  out.u8(0xFF);     // MIDI program: none
  out.u16(0xFFFF);  // MIDI bank: none
  for (int note = 0; note < 120; ++note) {
    out.u8(note);
    out.u8(instrument.sample);
  }
  put_envelope(out, instrument.volume_envelope, 64);
  put_envelope(out, Envelope{}, 0);  // panning
  put_envelope(out, Envelope{}, 0);  // pitch
  out.zeros(start + kInstrumentSize - out.data.size());
}

// The header of one sample; the data offset is patched in once the data's place is known.
void put_sample_header(Bytes& out, const Sample& sample) {
  const size_t start = out.data.size();
  out.tag("IMPS");
  out.text("", 12);
  out.u8(0);
  out.u8(sample.global_volume);
  int flags = 0x01 | 0x02;  // data present, 16-bit
  if (sample.loop) flags |= 0x10;
  if (sample.loop && sample.ping_pong) flags |= 0x40;
  out.u8(flags);
  out.u8(sample.default_volume);
  out.text(sample.name, 26);
  out.u8(0x01);  // signed samples
  out.u8(sample.default_pan >= 0 ? sample.default_pan | 0x80 : 32);
  out.u32(static_cast<uint32_t>(sample.data.size()));
  out.u32(sample.loop ? sample.loop_begin : 0);
  out.u32(sample.loop ? sample.loop_end : 0);
  out.u32(sample.c5_speed);
  out.u32(0);  // sustain loop
  out.u32(0);
  out.u32(0);  // data offset, patched later
  out.u8(sample.vibrato_speed);
  out.u8(sample.vibrato_depth);
  out.u8(sample.vibrato_sweep);
  out.u8(static_cast<int>(sample.vibrato_wave));
  out.zeros(start + kSampleHeaderSize - out.data.size());
}

std::string check_envelope(const Envelope& envelope, const std::string& where) {
  const int count = static_cast<int>(envelope.points.size());
  if (count > kMaxEnvelopePoints) return where + ": more than 25 envelope points";
  if (envelope.enabled && count < 2) return where + ": an envelope needs at least 2 points";
  for (int i = 0; i < count; ++i) {
    if (envelope.points[i].value < 0 || envelope.points[i].value > 64) return where + ": envelope value outside 0..64";
    if (i > 0 && envelope.points[i].tick <= envelope.points[i - 1].tick) return where + ": envelope ticks must rise";
  }
  if (count > 0 && envelope.points[0].tick != 0) return where + ": envelope must start at tick 0";
  if (envelope.loop && (envelope.loop_begin > envelope.loop_end || envelope.loop_end >= count))
    return where + ": envelope loop outside its points";
  if (envelope.sustain && (envelope.sustain_begin > envelope.sustain_end || envelope.sustain_end >= count))
    return where + ": envelope sustain outside its points";
  return "";
}

}  // namespace

Module::Module() {
  for (int& pan : channel_pan) pan = 32;
  for (int& volume : channel_volume) volume = 64;
}

Pattern make_pattern(int rows, int channels) {
  Pattern pattern;
  pattern.rows = rows;
  pattern.channels = channels;
  pattern.cells.assign(static_cast<size_t>(rows) * channels, Cell{});
  return pattern;
}

Cell& cell_at(Pattern& pattern, int row, int channel) {
  return pattern.cells[static_cast<size_t>(row) * pattern.channels + channel];
}

const Cell& cell_at(const Pattern& pattern, int row, int channel) {
  return pattern.cells[static_cast<size_t>(row) * pattern.channels + channel];
}

std::string check_module(const Module& m) {
  auto in = [](int value, int low, int high) { return value >= low && value <= high; };
  if (!in(m.channels, 1, kMaxChannels)) return "channel count outside 1..64";
  if (!in(m.initial_speed, 1, 255)) return "initial speed outside 1..255";
  if (!in(m.initial_tempo, 32, 255)) return "initial tempo outside 32..255";
  if (!in(m.global_volume, 0, 128) || !in(m.mixing_volume, 0, 128)) return "volume outside 0..128";
  if (!in(m.stereo_separation, 0, 128)) return "stereo separation outside 0..128";
  for (int c = 0; c < m.channels; ++c) {
    if (!in(m.channel_pan[c], 0, 64) || !in(m.channel_volume[c], 0, 64)) return "channel pan or volume outside 0..64";
  }
  if (m.orders.empty() || m.orders.size() > 255) return "order count outside 1..255";
  if (m.patterns.size() > 240) return "more than 240 patterns";
  if (m.instruments.size() > 99 || m.samples.size() > 99) return "more than 99 instruments or samples";
  for (uint8_t order : m.orders) {
    if (order != 254 && order >= m.patterns.size()) return "order names a missing pattern";
  }
  if (m.message.size() > 8000) return "message longer than 8000 characters";
  for (size_t p = 0; p < m.patterns.size(); ++p) {
    const Pattern& pattern = m.patterns[p];
    const std::string where = "pattern " + std::to_string(p);
    if (!in(pattern.rows, 32, 200)) return where + ": rows outside 32..200";
    if (pattern.channels > m.channels) return where + ": more channels than the module";
    if (pattern.cells.size() != static_cast<size_t>(pattern.rows) * pattern.channels)
      return where + ": cell count does not match rows times channels";
    for (const Cell& cell : pattern.cells) {
      if (cell.note > 120 && cell.note < kNoteCut) return where + ": bad note";
      if (cell.instrument > m.instruments.size()) return where + ": names a missing instrument";
      if (cell.volume > 212 && cell.volume != kNoVolume) return where + ": bad volume column";
      if (cell.effect > 26) return where + ": bad effect";
    }
    if (pack_pattern(pattern).size() > 65535) return where + ": packed data too large";
  }
  for (size_t i = 0; i < m.instruments.size(); ++i) {
    const Instrument& instrument = m.instruments[i];
    const std::string where = "instrument " + std::to_string(i + 1);
    if (!in(instrument.sample, 1, static_cast<int>(m.samples.size()))) return where + ": names a missing sample";
    if (!in(instrument.fadeout, 0, 256)) return where + ": fadeout outside 0..256";
    if (!in(instrument.global_volume, 0, 128)) return where + ": volume outside 0..128";
    if (!in(instrument.default_pan, -1, 64)) return where + ": pan outside 0..64";
    if (!in(instrument.filter_cutoff, -1, 127) || !in(instrument.filter_resonance, -1, 127))
      return where + ": filter outside 0..127";
    const std::string problem = check_envelope(instrument.volume_envelope, where);
    if (!problem.empty()) return problem;
  }
  for (size_t i = 0; i < m.samples.size(); ++i) {
    const Sample& sample = m.samples[i];
    const std::string where = "sample " + std::to_string(i + 1);
    if (sample.data.empty()) return where + ": no data";
    if (!in(sample.default_volume, 0, 64) || !in(sample.global_volume, 0, 64)) return where + ": volume outside 0..64";
    if (!in(sample.default_pan, -1, 64)) return where + ": pan outside 0..64";
    if (sample.c5_speed == 0 || sample.c5_speed > 9999999) return where + ": bad C-5 rate";
    if (sample.loop && (sample.loop_begin >= sample.loop_end || sample.loop_end > sample.data.size()))
      return where + ": loop outside the data";
    if (!in(sample.vibrato_speed, 0, 64) || !in(sample.vibrato_depth, 0, 64) || !in(sample.vibrato_sweep, 0, 64))
      return where + ": vibrato outside its range";
  }
  return "";
}

std::vector<uint8_t> write_it(const Module& m) {
  Bytes out;
  const size_t order_count = m.orders.size() + 1;  // with the end-of-song marker
  const bool has_message = !m.message.empty();

  out.tag("IMPM");
  out.text(m.name, 26);
  out.u8(m.rows_per_beat);
  out.u8(m.rows_per_measure);
  out.u16(static_cast<uint32_t>(order_count));
  out.u16(static_cast<uint32_t>(m.instruments.size()));
  out.u16(static_cast<uint32_t>(m.samples.size()));
  out.u16(static_cast<uint32_t>(m.patterns.size()));
  out.u16(kTrackerVersion);
  out.u16(kTrackerVersion);
  out.u16(0x01 | 0x04 | (m.linear_slides ? 0x08 : 0));  // stereo, instruments, slides
  out.u16(has_message ? 0x01 : 0);
  out.u8(m.global_volume);
  out.u8(m.mixing_volume);
  out.u8(m.initial_speed);
  out.u8(m.initial_tempo);
  out.u8(m.stereo_separation);
  out.u8(0);  // pitch wheel depth
  const size_t message_length_at = out.data.size();
  out.u16(0);
  out.u32(0);  // message offset, patched below
  out.u32(0);
  for (int c = 0; c < kMaxChannels; ++c) out.u8(c < m.channels ? m.channel_pan[c] : 32 | 0x80);
  for (int c = 0; c < kMaxChannels; ++c) out.u8(c < m.channels ? m.channel_volume[c] : 64);

  for (uint8_t order : m.orders) out.u8(order);
  out.u8(255);
  const size_t instrument_offsets_at = out.data.size();
  out.zeros(4 * (m.instruments.size() + m.samples.size() + m.patterns.size()));
  const size_t sample_offsets_at = instrument_offsets_at + 4 * m.instruments.size();
  const size_t pattern_offsets_at = sample_offsets_at + 4 * m.samples.size();

  if (has_message) {
    std::string text;
    for (char c : m.message) text.push_back(c == '\n' ? '\r' : c);
    const size_t length = text.size() + 1;
    out.data[message_length_at] = static_cast<uint8_t>(length & 0xFF);
    out.data[message_length_at + 1] = static_cast<uint8_t>(length >> 8);
    out.put_u32_at(message_length_at + 2, static_cast<uint32_t>(out.data.size()));
    for (char c : text) out.u8(static_cast<uint8_t>(c));
    out.u8(0);
  }
  for (size_t i = 0; i < m.instruments.size(); ++i) {
    out.put_u32_at(instrument_offsets_at + 4 * i, static_cast<uint32_t>(out.data.size()));
    put_instrument(out, m.instruments[i]);
  }
  std::vector<size_t> sample_headers;
  for (size_t i = 0; i < m.samples.size(); ++i) {
    sample_headers.push_back(out.data.size());
    out.put_u32_at(sample_offsets_at + 4 * i, static_cast<uint32_t>(out.data.size()));
    put_sample_header(out, m.samples[i]);
  }
  for (size_t i = 0; i < m.patterns.size(); ++i) {
    out.put_u32_at(pattern_offsets_at + 4 * i, static_cast<uint32_t>(out.data.size()));
    const std::vector<uint8_t> packed = pack_pattern(m.patterns[i]);
    out.u16(static_cast<uint32_t>(packed.size()));
    out.u16(static_cast<uint32_t>(m.patterns[i].rows));
    out.u32(0);
    out.data.insert(out.data.end(), packed.begin(), packed.end());
  }
  for (size_t i = 0; i < m.samples.size(); ++i) {
    out.put_u32_at(sample_headers[i] + 0x48, static_cast<uint32_t>(out.data.size()));
    for (int16_t value : m.samples[i].data) out.u16(static_cast<uint16_t>(value));
  }
  return out.data;
}

bool save_it(const Module& module, const std::string& path, std::string* error) {
  const std::string problem = check_module(module);
  if (!problem.empty()) {
    *error = problem;
    return false;
  }
  const std::vector<uint8_t> bytes = write_it(module);
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) {
    *error = "cannot create " + path;
    return false;
  }
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  const bool closed = std::fclose(file) == 0;
  if (!written || !closed) {
    *error = "cannot write " + path;
    return false;
  }
  return true;
}

}  // namespace itw
