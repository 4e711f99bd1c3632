// The show's soundtrack: 44 patterns of 64 rows at 100 ms a row, in A minor, following the
// show section by section.
#pragma once
#include <string>

#include "tools/datagen/music/it_writer.h"

namespace music {

// 6 ticks of 2.5/150 s make 100 ms rows: 16 rows a bar at 150 beats a minute, and
// (0,0) to (43,32) lasts 278.4 s.
constexpr int kSpeed = 6;
constexpr int kTempo = 150;
constexpr int kOrders = 44;

// Channels, named for what they play.
enum Channel : int {
  kChKick,
  kChSnare,
  kChClap,
  kChHats,
  kChCrash,
  kChRiser,
  kChBass,
  kChPad1,
  kChPad2,
  kChPad3,
  kChPad4,
  kChLead,
  kChLeadEcho,
  kChArp,
  kChArpEcho,
  kChStab1,
  kChStab2,
  kChStab3,
  kChBell,
  kChBellEcho,
  kChAir,
  kChDrone,
  kChannelCount
};

// The whole module; `problem` is set (and the module unusable) if the score text is malformed.
itw::Module compose_song(std::string* problem);

}  // namespace music
