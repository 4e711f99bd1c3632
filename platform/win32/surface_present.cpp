// A frame presented on a flipping surface the system may take away.
#include "platform/win32/surface_present.h"

#include <cstddef>
#include <cstring>

namespace {

VideoResult copy_and_flip(const SurfaceCalls& calls, const uint8_t* frame, uint32_t width, uint32_t height) {
  uint8_t* pixels = nullptr;
  int32_t pitch = 0;
  const VideoResult locked = calls.lock(calls.self, &pixels, &pitch);
  if (locked != video_code::ok) return locked;  // a failed lock gives no pointer to write through
  if (!pixels || pitch < static_cast<int32_t>(width)) {
    calls.unlock(calls.self);
    return video_code::generic;
  }
  for (uint32_t y = 0; y < height; ++y)
    std::memcpy(pixels + static_cast<ptrdiff_t>(y) * pitch, frame + static_cast<size_t>(y) * width, width);
  calls.unlock(calls.self);
  return calls.flip(calls.self);
}

}  // namespace

VideoResult surface_present(const SurfaceCalls& calls, const uint8_t* frame, uint32_t width, uint32_t height) {
  const VideoResult first = copy_and_flip(calls, frame, width, height);
  if (first != video_code::surface_lost) return first;
  const VideoResult restored = calls.restore(calls.self);
  if (restored != video_code::ok) return restored;
  return copy_and_flip(calls, frame, width, height);
}
