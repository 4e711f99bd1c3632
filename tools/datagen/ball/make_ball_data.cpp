// Writes scenes/ball/ball_data.cpp: the spiked ball's mesh and palette.
#include <cstdio>

#include "tools/datagen/ball/ball_data_gen.h"
#include "tools/datagen/common/emit_source.h"

int main(int argc, char** argv) {
  if (!datagen::arguments_fit(argc, 2, "make-ball-data OUT.cpp")) return 2;
  datagen::BallMesh mesh;
  std::string error;
  if (!datagen::build_ball_mesh(&mesh, &error)) {
    std::fprintf(stderr, "ball mesh: %s\n", error.c_str());
    return 1;
  }
  const std::vector<uint8_t> bytes = datagen::pack_ball_mesh(mesh);
  uint8_t palette[768];
  if (!datagen::build_ball_palette(palette, &error)) {
    std::fprintf(stderr, "ball palette: %s\n", error.c_str());
    return 1;
  }
  const std::string body = datagen::source_array("const uint8_t ball_mesh[ball_mesh_size]", bytes) +
                           datagen::source_array("const uint8_t ball_palette[768]", palette, 768);
  return datagen::write_source(argv[1], "tools/datagen/ball/make_ball_data.cpp", {"scenes/ball/ball.h"}, body) ? 0 : 1;
}
