// tarnwick-render where only the scene harness is built (the Windows test build, and
// tarnwick-frames in the web build, run under node): the core's
// frame tests run the same command line there as on Linux.
#include <cstdio>
#include <string>

#include "tools/render/render_options.h"
#include "tools/render/scene_run.h"

int main(int argc, char** argv) {
  RenderOptions options;
  std::string error;
  if (!parse_render_options(argc, argv, &options, &error)) {
    std::fprintf(stderr, "tarnwick-render: %s\n%s", error.c_str(), render_usage);
    return 2;
  }
  if (options.scene < 0) {
    std::fprintf(stderr, "tarnwick-render: this build has only the scene harness (--scene)\n");
    return 2;
  }
  return run_scene_harness(options);
}
