// Presenting on a flipping surface that can be lost: a fake surface stands in for DirectDraw.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/surface_present.h"

namespace {

constexpr uint32_t width = 320;
constexpr uint32_t height = 200;
constexpr int32_t pitch = 336;  // wider than the frame, as real surfaces often are

// Every call is logged; lock and flip answer from scripted queues (ok when a queue is empty).
struct FakeSurface {
  std::vector<uint8_t> memory = std::vector<uint8_t>(static_cast<size_t>(pitch) * height, 0xEE);
  std::vector<VideoResult> lock_results, flip_results, restore_results;
  std::string log;
  bool locked = false;

  static VideoResult next(std::vector<VideoResult>& queue) {
    if (queue.empty()) return video_code::ok;
    const VideoResult result = queue.front();
    queue.erase(queue.begin());
    return result;
  }
  static FakeSurface& of(void* self) { return *static_cast<FakeSurface*>(self); }

  SurfaceCalls calls() {
    return {this,
            [](void* self, uint8_t** pixels, int32_t* p) {
              FakeSurface& s = of(self);
              s.log += "lock ";
              const VideoResult result = next(s.lock_results);
              if (result != video_code::ok) return result;
              s.locked = true;
              *pixels = s.memory.data();
              *p = pitch;
              return result;
            },
            [](void* self) {
              of(self).log += "unlock ";
              of(self).locked = false;
            },
            [](void* self) {
              of(self).log += "flip ";
              return next(of(self).flip_results);
            },
            [](void* self) {
              of(self).log += "restore ";
              // Restoring gives back memory without the picture, as a real restore does.
              std::fill(of(self).memory.begin(), of(self).memory.end(), 0xEE);
              return next(of(self).restore_results);
            }};
  }
};

std::vector<uint8_t> test_frame() {
  std::vector<uint8_t> frame(width * height);
  for (size_t i = 0; i < frame.size(); ++i) frame[i] = static_cast<uint8_t>(i * 7 + i / width);
  return frame;
}

// The frame's rows at the surface's pitch; the bytes past each row untouched.
void expect_frame_on(const FakeSurface& surface, const std::vector<uint8_t>& frame) {
  for (uint32_t y = 0; y < height; ++y) {
    for (uint32_t x = 0; x < width; ++x)
      ASSERT_EQ(surface.memory[y * pitch + x], frame[y * width + x]) << x << "," << y;
    for (uint32_t x = width; x < static_cast<uint32_t>(pitch); ++x) ASSERT_EQ(surface.memory[y * pitch + x], 0xEE);
  }
}

// The surface memory as the fake's restore leaves it: none of the frame on it.
void expect_blank(const FakeSurface& surface) {
  for (const uint8_t byte : surface.memory) ASSERT_EQ(byte, 0xEE);
}

// Each case scripts the surface's answers (ok once a list runs out): what the present returns,
// the calls it makes, and what the surface then holds.
TEST(SurfacePresent, ALostSurfaceIsRestoredOnceAndOnlyWhatPersistsIsReported) {
  constexpr VideoResult ok = video_code::ok, lost = video_code::surface_lost;
  // clang-format off
  const struct {
    const char* what;
    std::vector<VideoResult> lock, flip, restore;
    VideoResult result;
    const char* calls;
    bool frame_on_surface;
  } cases[] = {
      {"rows copied at the surface's pitch, then the flip", {}, {}, {}, ok, "lock unlock flip ", true},
      {"lost at the flip: restored, the same frame again", {}, {lost}, {}, ok,
       "lock unlock flip restore lock unlock flip ", true},
      {"lost at the lock: restored, the same frame again", {lost}, {}, {}, ok,
       "lock restore lock unlock flip ", true},
      {"lost again after the restore: one restore, no loop", {}, {lost, lost}, {}, lost,
       "lock unlock flip restore lock unlock flip ", true},
      {"the restore fails", {}, {lost}, {video_code::no_exclusive}, video_code::no_exclusive,
       "lock unlock flip restore ", false},
      {"another failure is not a lost surface: reported at once", {}, {video_code::generic}, {},
       video_code::generic, "lock unlock flip ", true},
      {"a failed lock writes nothing and does not flip", {video_code::generic}, {}, {},
       video_code::generic, "lock ", false},
  };
  // clang-format on
  const std::vector<uint8_t> frame = test_frame();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FakeSurface surface;
    surface.lock_results = c.lock;
    surface.flip_results = c.flip;
    surface.restore_results = c.restore;
    EXPECT_EQ(surface_present(surface.calls(), frame.data(), width, height), c.result);
    EXPECT_EQ(surface.log, c.calls);
    if (c.frame_on_surface) {
      expect_frame_on(surface, frame);
    } else {
      expect_blank(surface);
    }
  }
}

}  // namespace
