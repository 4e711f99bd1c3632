// A sound card made of a FIFO: consumes the pipe sink's stream at exactly 44100 frames a second on
// the monotonic clock, so that the FIFO's fill is a real output latency and what is read at t is
// heard at t. Slot s of the output is the frame heard at t0 + s/44100 (t0 on CLOCK_MONOTONIC, in
// ns, written to OUT.t0); where the server fell behind the slot holds silence, as a card's would.
//   fifo_reader FIFO BYTES OUT      (OUT: raw 16-bit stereo; stops on SIGTERM or SIGINT)
// It opens the FIFO and sets its size before any writer does, then prints "ready BYTES".
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "tests/latency/programs/every_ms.h"

namespace {

constexpr int64_t rate = 44100;
constexpr int64_t frame_bytes = 4;

volatile sig_atomic_t stopping = 0;
void stop(int) { stopping = 1; }

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: fifo_reader FIFO BYTES OUT\n");
    return 2;
  }
  const int fd = open(argv[1], O_RDONLY | O_NONBLOCK);
  if (fd < 0) {
    std::fprintf(stderr, "fifo_reader: can't open %s: %s\n", argv[1], std::strerror(errno));
    return 1;
  }
  const int size = fcntl(fd, F_SETPIPE_SZ, std::atoi(argv[2]));
  if (size < 0) {
    std::fprintf(stderr, "fifo_reader: can't size the FIFO to %s bytes: %s\n", argv[2], std::strerror(errno));
    return 1;
  }
  std::FILE* out = std::fopen(argv[3], "wb");
  if (!out) {
    std::fprintf(stderr, "fifo_reader: can't write %s\n", argv[3]);
    return 1;
  }
  signal(SIGTERM, stop);
  signal(SIGINT, stop);
  std::printf("ready %d\n", size);
  std::fflush(stdout);

  // The card starts with the first sound the server writes.
  pollfd wait = {fd, POLLIN, 0};
  while (!stopping && poll(&wait, 1, 100) <= 0) {
  }
  const int64_t t0 = now_ns();
  std::vector<char> buffer(static_cast<size_t>(rate * frame_bytes));
  int64_t taken = 0;   // slots played so far
  int64_t silent = 0;  // of which the server had nothing for
  char part[frame_bytes];
  int64_t part_bytes = 0;  // a frame begun in the pipe, finished by the next read
  timespec next = {};
  clock_gettime(CLOCK_MONOTONIC, &next);
  while (!stopping) {
    sleep_a_millisecond(next);
    const int64_t due = (now_ns() - t0) * rate / 1000000000;
    int64_t want = (due - taken) * frame_bytes;
    if (want > static_cast<int64_t>(buffer.size())) want = static_cast<int64_t>(buffer.size());
    if (want == 0) continue;
    std::memcpy(buffer.data(), part, static_cast<size_t>(part_bytes));
    int64_t got = part_bytes;
    while (got < want) {
      const ssize_t n = read(fd, buffer.data() + got, static_cast<size_t>(want - got));
      if (n <= 0) break;
      got += n;
    }
    part_bytes = got % frame_bytes;
    got -= part_bytes;
    std::memcpy(part, buffer.data() + got, static_cast<size_t>(part_bytes));
    std::memset(buffer.data() + got, 0, static_cast<size_t>(want - got));
    std::fwrite(buffer.data(), 1, static_cast<size_t>(want), out);
    silent += (want - got) / frame_bytes;
    taken += want / frame_bytes;
  }
  std::fclose(out);
  std::string t0_path = std::string(argv[3]) + ".t0";
  std::FILE* t0_file = std::fopen(t0_path.c_str(), "w");
  if (t0_file) {
    std::fprintf(t0_file, "%lld\n", static_cast<long long>(t0));
    std::fclose(t0_file);
  }
  std::fprintf(stderr, "fifo_reader: %lld frames played, %lld of them silent because the server fell behind\n",
               static_cast<long long>(taken), static_cast<long long>(silent));
  return 0;
}
