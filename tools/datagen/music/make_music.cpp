// Writes the show's music module, deterministically, from nothing but this code.
#include <cstdio>
#include <cstring>
#include <string>

#include "tools/datagen/music/click_track.h"
#include "tools/datagen/music/it_writer.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make-music OUT.it\n");
    return 2;
  }
  std::string error;
  if (!itw::save_it(music::make_click_track(), argv[1], &error)) {
    std::fprintf(stderr, "make-music: %s\n", error.c_str());
    return 1;
  }
  return 0;
}
