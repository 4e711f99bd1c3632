#include "tools/datagen/music/click_track.h"

#include <cmath>

#include "tools/datagen/music/show_cues.h"

namespace music {
namespace {

// A 20 ms decaying sine burst.
itw::Sample click_sample(const char* name, double frequency) {
  itw::Sample sample;
  sample.name = name;
  const int length = 882;
  for (int i = 0; i < length; ++i) {
    const double t = i / 44100.0;
    const double value = std::sin(2.0 * M_PI * frequency * t) * std::exp(-t * 250.0);
    sample.data.push_back(static_cast<int16_t>(std::lround(value * 24000.0)));
  }
  return sample;
}

itw::Instrument click_instrument(const char* name, int sample) {
  itw::Instrument instrument;
  instrument.name = name;
  instrument.sample = sample;
  return instrument;
}

}  // namespace

itw::Module make_click_track() {
  itw::Module module;
  module.name = "tarnwick";
  module.message = "tarnwick click track\nOne click per script position.";
  module.initial_speed = kSpeed;
  module.initial_tempo = kTempo;
  module.channels = 2;
  module.samples = {click_sample("event click", 2000.0), click_sample("scene click", 1000.0)};
  module.instruments = {click_instrument("event", 1), click_instrument("scene", 2)};
  for (int order = 0; order < kOrders; ++order) {
    module.patterns.push_back(itw::make_pattern(64, module.channels));
    module.orders.push_back(static_cast<uint8_t>(order));
  }
  const uint8_t c5 = 61;
  for (const Cue& cue : show_event_cues()) {
    itw::Cell& cell = itw::cell_at(module.patterns[cue.order], cue.row, 0);
    cell.note = c5;
    cell.instrument = 1;
  }
  for (const Cue& cue : show_scene_cues()) {
    itw::Cell& cell = itw::cell_at(module.patterns[cue.order], cue.row, 1);
    cell.note = c5;
    cell.instrument = 2;
  }
  return module;
}

}  // namespace music
