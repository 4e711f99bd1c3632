// tarnwick-render's scene harness (--scene ... --raw FILE): the part every build of the tool has.
#pragma once
#include <cstddef>
#include <string>

#include "tools/render/render_options.h"

// Writes the bytes as the whole file; false when it cannot.
bool write_whole_file(const std::string& path, const void* bytes, size_t size);
// Runs one scene from a zero (or given) frame and writes the frame; the program's exit code.
int run_scene_harness(const RenderOptions& options);
