// tarnwick-frames: tarnwick-render's scene harness on its own, for builds that have nothing else
// of the tool (the web build runs it under node to compare its frames with the native build's).
#include <cstdio>
#include <string>

#include "tools/render/harness_file.h"
#include "tools/render/render_options.h"

int main(int argc, char** argv) {
  RenderOptions options;
  std::string error;
  if (!parse_render_options(argc, argv, &options, &error) || options.scene < 0) {
    std::fprintf(stderr, "tarnwick-frames: %s\nusage: tarnwick-frames --scene S --passes N --ticks T --raw FILE"
                 " [--start FILE] [--beat-at LIST]\n", error.empty() ? "--scene is needed" : error.c_str());
    return 2;
  }
  return run_harness_to_file(options);
}
