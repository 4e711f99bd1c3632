// The screen sampled about 1000 times a second: how much of the middle of the X screen is black,
// in thousandths, logged as "T PERMILLE" (monotonic ns) at every change of a tenth or more, so a
// scene that lays grain over everything (no black left) is seen the moment it reaches the screen.
// With "changes", every change of the picture at all is logged, to find where it stood still.
//   screen_watch SECONDS LOG [changes]       (on $DISPLAY)
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include "tests/latency/programs/every_ms.h"

int main(int argc, char** argv) {
  const bool every_change = argc == 4 && std::string(argv[3]) == "changes";
  if (argc != 3 && !every_change) {
    std::fprintf(stderr, "usage: screen_watch SECONDS LOG [changes]\n");
    return 2;
  }
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    std::fprintf(stderr, "screen_watch: no X display\n");
    return 1;
  }
  std::FILE* log = std::fopen(argv[2], "w");
  if (!log) {
    std::fprintf(stderr, "screen_watch: can't write %s\n", argv[2]);
    return 1;
  }
  const Window root = DefaultRootWindow(display);
  const int width = DisplayWidth(display, DefaultScreen(display));
  const int height = DisplayHeight(display, DefaultScreen(display));
  // The middle of the picture, clear of the side bars and the captions.
  const int x0 = width / 5, y0 = height / 4, w = width * 3 / 5, h = height / 2;
  // Through shared memory: a copy over the socket takes ten times as long.
  if (!XShmQueryExtension(display)) {
    std::fprintf(stderr, "screen_watch: the X server has no shared memory extension\n");
    return 1;
  }
  XShmSegmentInfo shm = {};
  XImage* image = XShmCreateImage(display, DefaultVisual(display, DefaultScreen(display)),
                                  static_cast<unsigned>(DefaultDepth(display, DefaultScreen(display))), ZPixmap,
                                  nullptr, &shm, static_cast<unsigned>(w), static_cast<unsigned>(h));
  if (!image || image->bits_per_pixel != 32) {
    std::fprintf(stderr, "screen_watch: needs a 24-bit screen\n");
    return 1;
  }
  shm.shmid = shmget(IPC_PRIVATE, static_cast<size_t>(image->bytes_per_line) * static_cast<size_t>(h),
                     IPC_CREAT | 0600);
  shm.shmaddr = image->data = static_cast<char*>(shmat(shm.shmid, nullptr, 0));
  shmctl(shm.shmid, IPC_RMID, nullptr);  // gone once both sides let go
  if (shm.shmaddr == reinterpret_cast<char*>(-1) || !XShmAttach(display, &shm)) {
    std::fprintf(stderr, "screen_watch: no shared memory for the picture\n");
    return 1;
  }
  const int64_t end = now_ns() + static_cast<int64_t>(std::atof(argv[1]) * 1e9);
  int last = -1000;
  uint64_t last_picture = 0;
  int64_t samples = 0;
  const int64_t begin = now_ns();
  timespec next;
  clock_gettime(CLOCK_MONOTONIC, &next);
  for (int64_t now = now_ns(); now < end; now = now_ns()) {
    if (!XShmGetImage(display, root, image, x0, y0, AllPlanes)) {
      std::fprintf(stderr, "screen_watch: can't read the screen\n");
      return 1;
    }
    const int64_t seen = now_ns();
    int black = 0, count = 0;
    uint64_t picture = 14695981039346656037ull;  // FNV-1a over the pixels sampled
    for (int y = 0; y < h; y += 4) {
      const auto* row = reinterpret_cast<const uint32_t*>(image->data +
                                                          static_cast<ptrdiff_t>(y) * image->bytes_per_line);
      for (int x = 0; x < w; x += 4, ++count) {
        black += (row[x] & 0xFFFFFF) == 0;
        picture = (picture ^ (row[x] & 0xFFFFFF)) * 1099511628211ull;
      }
    }
    ++samples;
    const int permille = black * 1000 / count;
    const bool changed = every_change ? picture != last_picture : permille - last >= 100 || last - permille >= 100;
    last_picture = picture;
    if (changed) {
      std::fprintf(log, "%lld %d\n", static_cast<long long>(seen), permille);
      std::fflush(log);
      last = permille;
    }
    sleep_a_millisecond(next);
  }
  std::fclose(log);
  XShmDetach(display, &shm);
  XDestroyImage(image);
  shmdt(shm.shmaddr);
  XCloseDisplay(display);
  std::printf("screen_watch: the screen sampled %lld times a second\n",
              static_cast<long long>(samples * 1000000000 / (now_ns() - begin)));
  return 0;
}
