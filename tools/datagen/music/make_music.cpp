// Writes the show's music module, deterministically, from nothing but this code.
#include <cstdio>
#include <string>

#include "tools/datagen/music/it_writer.h"
#include "tools/datagen/music/song.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make-music OUT.it\n");
    return 2;
  }
  std::string error;
  const itw::Module module = music::compose_song(&error);
  if (!error.empty() || !itw::save_it(module, argv[1], &error)) {
    std::fprintf(stderr, "make-music: %s\n", error.c_str());
    return 1;
  }
  return 0;
}
