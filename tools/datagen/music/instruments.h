// The module's instrument set: every sample synthesized, with its volume envelope.
#pragma once
#include <vector>

#include "tools/datagen/music/it_writer.h"

namespace music {

// Instrument numbers as the patterns name them.
enum Instrument : int {
  kKick = 1,
  kSnare,
  kClap,
  kHatClosed,
  kHatOpen,
  kCrash,
  kRiser,
  kBass,
  kPadSlow,  // a swell for the opening and the breakdowns
  kPad,      // the same sound, quicker, for chords that change every bar
  kLead,
  kPluck,
  kStab,
  kBell,
  kAir,
  kDrone,
  kInstrumentCount = kDrone
};

// Samples and instruments in instrument order (instrument i plays sample i).
void build_instruments(std::vector<itw::Sample>* samples, std::vector<itw::Instrument>* instruments);

}  // namespace music
