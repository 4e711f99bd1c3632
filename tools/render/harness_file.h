#pragma once
// The scene harness between files: the start frame read from one, the result written to another.
#include "tools/render/render_options.h"

// Runs the harness case of the options (--scene, --passes, --ticks, --raw, --start, --beat-at);
// the exit code, with the reason on standard error.
int run_harness_to_file(const RenderOptions& options);
