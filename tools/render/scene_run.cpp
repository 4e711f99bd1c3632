// tarnwick-render's scene harness (--scene, --raw), in every build of the tool.
#include "tools/render/scene_run.h"

#include <cstdint>
#include <cstdio>

#include "host/scene_harness.h"

bool write_whole_file(const std::string& path, const void* bytes, size_t size) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(bytes, 1, size, f) == size;
  return std::fclose(f) == 0 && ok;
}

int run_scene_harness(const RenderOptions& o) {
  static uint8_t frame[320 * 200];
  if (!o.start_path.empty()) {
    FILE* f = std::fopen(o.start_path.c_str(), "rb");
    const size_t got = f ? std::fread(frame, 1, sizeof frame, f) : 0;
    const bool longer = f && std::fgetc(f) != EOF;
    if (f) std::fclose(f);
    if (got != sizeof frame || longer) {
      std::fprintf(stderr, "tarnwick-render: %s must hold exactly 64000 bytes\n", o.start_path.c_str());
      return 1;
    }
  }
  if (!scene_harness_prepare()) return 1;
  scene_harness_run(o.scene, o.passes, o.ticks, o.beat_at.data(), static_cast<int32_t>(o.beat_at.size()), frame);
  if (!write_whole_file(o.raw_path, frame, sizeof frame)) {
    std::fprintf(stderr, "tarnwick-render: cannot write %s\n", o.raw_path.c_str());
    return 1;
  }
  return 0;
}
