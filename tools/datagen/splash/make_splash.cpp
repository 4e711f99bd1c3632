// Writes the archive's title picture ("splash.bin", 320x200 indices), its palette
// ("splash.pal", 6-bit components) and the side bar ("sidebar.bin", 32x200 brightness).
// Everything is painted here; nothing is read.
#include <vector>

#include "tools/datagen/common/emit_source.h"
#include "tools/datagen/splash/picture.h"

int main(int argc, char** argv) {
  if (!datagen::arguments_fit(argc, 4, "make-splash SPLASH.bin SPLASH.pal SIDEBAR.bin")) return 2;
  const std::vector<splash::Rgb> title = splash::paint_title();
  uint8_t palette[768];
  std::vector<uint8_t> indices;
  splash::quantize(title, splash::picture_width, palette, &indices);
  const std::vector<uint8_t> bar = splash::paint_side_bar();
  return datagen::write_bytes(argv[1], indices) && datagen::write_bytes(argv[2], palette, sizeof palette) &&
                 datagen::write_bytes(argv[3], bar)
             ? 0
             : 1;
}
