// Writes the archive's title picture ("splash.bin", 320x200 indices), its palette
// ("splash.pal", 6-bit components) and the side bar ("sidebar.bin", 32x200 brightness).
// Everything is painted here; nothing is read.
#include <cstdio>
#include <string>
#include <vector>

#include "tools/datagen/splash/picture.h"

namespace {

bool write_file(const std::string& path, const uint8_t* bytes, size_t size) {
  FILE* f = std::fopen(path.c_str(), "wb");
  const bool ok = f && std::fwrite(bytes, 1, size, f) == size;
  if (f && std::fclose(f) != 0) return false;
  if (!ok) std::fprintf(stderr, "cannot write %s\n", path.c_str());
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: make-splash SPLASH.bin SPLASH.pal SIDEBAR.bin\n");
    return 2;
  }
  const std::vector<splash::Rgb> title = splash::paint_title();
  uint8_t palette[768];
  std::vector<uint8_t> indices;
  splash::quantize(title, splash::picture_width, palette, &indices);
  const std::vector<uint8_t> bar = splash::paint_side_bar();
  return write_file(argv[1], indices.data(), indices.size()) && write_file(argv[2], palette, sizeof palette) &&
                 write_file(argv[3], bar.data(), bar.size())
             ? 0
             : 1;
}
