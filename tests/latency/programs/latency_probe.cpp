// One of the backend's music devices, played with a stream whose every frame carries its own index
// (left: low 16 bits, right: high 16 bits), so that a recording of the output says which frame
// was heard when. Logs, every 5 ms, "T HEARD NAIVE": the monotonic time in ns, the frame the device
// says is heard, and the frames rendered less the device's own target buffer (what a program that
// ignored the server's latency would report). Built for Windows too, over its devices: there the
// monotonic time is the performance counter's.
//   latency_probe DEVICE SECONDS LOG
//   latency_probe clock      (answers each line on standard input with the monotonic time in ns)
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "platform/module_stream.h"
#include "platform/music_device.h"
#include "platform/steady_clock.h"

namespace {

constexpr int64_t first_frame = 1000000;  // never 0, so silence is never taken for a frame
constexpr int64_t own_buffer_frames = module_sample_rate * 40 / 1000;
std::atomic<int64_t> rendered{first_frame};

}  // namespace

void module_player_render(int16_t* out, int32_t frames) {
  int64_t frame = rendered.load(std::memory_order_relaxed);
  for (int32_t i = 0; i < frames; ++i, ++frame) {
    const auto bits = static_cast<uint32_t>(frame);
    out[2 * i] = static_cast<int16_t>(static_cast<uint16_t>(bits & 0xFFFF));
    out[2 * i + 1] = static_cast<int16_t>(static_cast<uint16_t>(bits >> 16));
  }
  rendered.store(frame, std::memory_order_release);
}

void module_player_default_output_changed() {}  // the rig's output is the one it opened

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "clock") == 0) {
    char line[64];
    while (std::fgets(line, sizeof line, stdin)) {
      std::printf("%lld\n", static_cast<long long>(steady_clock_ns()));
      std::fflush(stdout);
    }
    return 0;
  }
  if (argc != 4) {
    std::fprintf(stderr, "usage: latency_probe DEVICE SECONDS LOG | clock\n");
    return 2;
  }
  const MusicDevice* device = nullptr;
  for (int32_t i = 0; i < music_device_count; ++i)
    if (std::strcmp(music_devices[i]->name, argv[1]) == 0) device = music_devices[i];
  if (!device) {
    std::fprintf(stderr, "latency_probe: no device %s\n", argv[1]);
    return 2;
  }
  char error[256] = "";
  if (!device->open(error, sizeof error)) {
    std::fprintf(stderr, "latency_probe: %s\n", error);
    return 1;
  }
  std::FILE* log = std::fopen(argv[3], "w");
  if (!log) {
    std::fprintf(stderr, "latency_probe: can't write %s\n", argv[3]);
    return 1;
  }
  device->start(first_frame);
  const int64_t end = steady_clock_ns() + static_cast<int64_t>(std::atof(argv[2]) * 1e9);
  int exit_code = 0;
  for (int64_t now = steady_clock_ns(); now < end; now = steady_clock_ns()) {
    int64_t heard = 0;
    if (!device->heard_frame(&heard)) {
      std::fprintf(stderr, "latency_probe: the device failed\n");
      exit_code = 1;
      break;
    }
    std::fprintf(log, "%lld %lld %lld\n", static_cast<long long>(now), static_cast<long long>(heard),
                 static_cast<long long>(rendered.load(std::memory_order_acquire) - own_buffer_frames));
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  device->close();
  std::fclose(log);
  return exit_code;
}
