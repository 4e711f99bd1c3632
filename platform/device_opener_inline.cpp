// Where opening a device never blocks (a page's audio, the headless clock), the jobs run at once.
#include <cstdio>

#include "platform/device_opener.h"
#include "platform/music_device.h"

namespace {

bool ended = false;
const MusicDevice* opened = nullptr;
char refusal[256] = "";

}  // namespace

void device_opener_begin(const MusicDevice* closing, bool open_after) {
  if (closing) closing->close();
  opened = nullptr;
  for (int32_t i = 0; open_after && !opened && i < music_device_count; ++i)
    if (music_devices[i]->open(refusal, sizeof refusal)) opened = music_devices[i];
  ended = true;
}

bool device_opener_busy() { return ended; }
bool device_opener_closed(int64_t) { return true; }
bool device_opener_wait(int64_t) { return true; }

const MusicDevice* device_opener_take(char* error, size_t error_size) {
  ended = false;
  if (!opened) std::snprintf(error, error_size, "%s", refusal);
  return opened;
}

void device_opener_waiting(char*, size_t, int32_t) {}

void device_opener_abandon(char*, size_t, int32_t) {
  if (opened) opened->close();
  opened = nullptr;
  ended = false;
}
