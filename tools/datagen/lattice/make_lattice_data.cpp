// Writes scenes/lattice/lattice_data.cpp: the sepia palette of the line lattice scene.
#include <algorithm>

#include "tools/datagen/common/emit_source.h"
#include "tools/datagen/common/palette_ramp.h"

namespace {

// Black to white through warm browns; the three components meet again at the white end.
bool build_palette(uint8_t palette[768]) {
  datagen::palette_ramp(palette, {{0, 0, 0, 0},
                                  {4, 0, 0, 0},
                                  {32, 6, 5, 4},
                                  {64, 14, 12, 9},
                                  {128, 29, 24, 19},
                                  {192, 44, 37, 30},
                                  {224, 53, 49, 45},
                                  {254, 62, 62, 62},
                                  {255, 63, 63, 63}});
  // The curves of the three components are drawn apart; keep every entry sepia (red >= green >=
  // blue). Minimums of rising sequences still rise, and the anchors are sepia already.
  for (int i = 0; i < 256; ++i) {
    palette[3 * i + 1] = std::min(palette[3 * i + 1], palette[3 * i]);
    palette[3 * i + 2] = std::min(palette[3 * i + 2], palette[3 * i + 1]);
  }
  return datagen::palette_rises(palette);
}

}  // namespace

int main(int argc, char** argv) {
  if (!datagen::arguments_fit(argc, 2, "make-lattice-data OUT.cpp")) return 2;
  uint8_t palette[768];
  if (!build_palette(palette)) return 1;
  const std::string body = datagen::source_array("const uint8_t lattice_palette[768]", palette, sizeof palette);
  return datagen::write_source(argv[1], "tools/datagen/lattice/make_lattice_data.cpp", {"scenes/lattice/lattice.h"},
                               body)
             ? 0
             : 1;
}
