// The module rendered into a stream of sound with its positions stamped along it.
#include "platform/module_stream.h"

#include <libopenmpt/libopenmpt.h>

#include <atomic>
#include <cstring>

#include "platform/music.h"

namespace {

constexpr int32_t slice_frames = 128;  // one position stamp per slice: under 3 ms
constexpr uint32_t stamp_count = 1024;

// One stamp in one atomic word: frame (40 bits), order (12 bits), row (12 bits).
std::atomic<uint64_t> stamps[stamp_count];
std::atomic<uint32_t> stamps_written{0};
uint64_t frames_rendered = 0;  // rendering thread only

uint64_t pack_stamp(uint64_t frame, uint32_t order, uint32_t row) {
  return (frame & 0xFFFFFFFFFFull) << 24 | static_cast<uint64_t>(order & 0xFFF) << 12 | (row & 0xFFF);
}

// Stamps where the module stands at frame_rendered: from that frame on, it plays that position.
void stamp_now(openmpt_module* module) {
  const uint32_t order = static_cast<uint32_t>(openmpt_module_get_current_order(module));
  const uint32_t row = static_cast<uint32_t>(openmpt_module_get_current_row(module));
  const uint32_t index = stamps_written.load(std::memory_order_relaxed);
  stamps[index % stamp_count].store(pack_stamp(frames_rendered, order, row), std::memory_order_relaxed);
  stamps_written.store(index + 1, std::memory_order_release);
}

}  // namespace

void module_stream_reset(uint64_t first_frame) {
  stamps_written.store(0, std::memory_order_release);
  frames_rendered = first_frame;
}

// Each slice is stamped where it ends, so the newest stamp is already the position the next frame
// plays: a listener in lock-step with the renderer hears exactly where the module stands.
void module_stream_render(openmpt_module* module, int16_t* out, int32_t frames) {
  if (stamps_written.load(std::memory_order_relaxed) == 0) stamp_now(module);
  for (int32_t done = 0; done < frames;) {
    const int32_t count = frames - done < slice_frames ? frames - done : slice_frames;
    const size_t got = openmpt_module_read_interleaved_stereo(module, module_sample_rate, static_cast<size_t>(count),
                                                              out + 2 * done);
    if (got < static_cast<size_t>(count))
      std::memset(out + 2 * (done + static_cast<int32_t>(got)), 0, (static_cast<size_t>(count) - got) * 4);
    frames_rendered += static_cast<uint64_t>(count);
    done += count;
    stamp_now(module);
  }
}

uint64_t module_stream_frames_rendered() { return frames_rendered; }

uint32_t module_stream_position_at(int64_t heard_frame) {
  const uint32_t written = stamps_written.load(std::memory_order_acquire);
  if (written == 0) return 0;
  // Newest stamp at or before that frame, among those the renderer cannot be overwriting.
  const uint32_t oldest = written > stamp_count / 2 ? written - stamp_count / 2 : 0;
  uint64_t chosen = stamps[oldest % stamp_count].load(std::memory_order_relaxed);
  for (uint32_t i = written; i-- > oldest;) {
    const uint64_t stamp = stamps[i % stamp_count].load(std::memory_order_relaxed);
    if (static_cast<int64_t>(stamp >> 24) <= heard_frame) {
      chosen = stamp;
      break;
    }
  }
  const uint32_t order = static_cast<uint32_t>(chosen >> 12) & 0xFFF;
  const uint32_t row = static_cast<uint32_t>(chosen) & 0xFFF;
  return music_pack_position(order, row);
}
