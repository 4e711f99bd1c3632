// Speed of the feedback scene's pass and of its triangle filler.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "bench/scene_pass.h"
#include "scenes/common/effect.h"
#include "scenes/feedback/feedback.h"

namespace {

void BM_FeedbackPass(benchmark::State& state) {
  std::vector<uint8_t> frame(frame_size);
  for (int32_t i = 0; i < frame_size; ++i) frame[i] = static_cast<uint8_t>(i * 7);
  feedback_reset();
  bench_scene_passes(state, feedback_draw, feedback_update, frame);
  feedback_reset();
}
BENCHMARK(BM_FeedbackPass);

// One half of the scene's quad after the first tick: about 31000 pixels.
void BM_DrawMappedTriangle(benchmark::State& state) {
  std::vector<uint8_t> texture(256 * 200);
  for (size_t i = 0; i < texture.size(); ++i) texture[i] = static_cast<uint8_t>(i * 13);
  std::vector<uint8_t> frame(frame_size);
  const mapped_triangle triangle{22, -5, 19, 215, 302, -2, {0, 0, 0, 0}, 0, 0, 0, 199, 255, 0, texture.data()};
  for (auto _ : state) {
    draw_mapped_triangle(triangle, frame.data());
    benchmark::DoNotOptimize(frame.data());
  }
}
BENCHMARK(BM_DrawMappedTriangle);

// A triangle whose texture coordinates run outside the texture: every span takes the clamped path.
void BM_DrawMappedTriangleClamped(benchmark::State& state) {
  std::vector<uint8_t> texture(256 * 200);
  for (size_t i = 0; i < texture.size(); ++i) texture[i] = static_cast<uint8_t>(i * 13);
  std::vector<uint8_t> frame(frame_size);
  const mapped_triangle triangle{22, -5, 19, 215, 302, -2, {0, 0, 0, 0}, -40, -40, -40, 260, 300, -40, texture.data()};
  for (auto _ : state) {
    draw_mapped_triangle(triangle, frame.data());
    benchmark::DoNotOptimize(frame.data());
  }
}
BENCHMARK(BM_DrawMappedTriangleClamped);

}  // namespace
