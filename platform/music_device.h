// An audio output behind the module player (platform/module_player.cpp). The player owns the
// module, the stamp ring and the silent clock; a device only moves sound to the listener and says
// which stream frame is being heard. A backend lists its devices best first (music_devices); the
// player opens the first that answers, and when one is lost it plays on silently and tries the
// list again every 2 seconds.
#pragma once
#include <cstddef>
#include <cstdint>

struct MusicDevice {
  const char* name;
  // Opens the output, not yet pulling sound; false with the reason in error. Open and close run
  // on the opener's thread (platform/device_opener.h), start and heard_frame on the main thread.
  bool (*open)(char* error, size_t error_size);
  // Starts pulling sound through module_player_render; the first frame it pulls is stream frame
  // first_frame (the frames rendered so far), so its heard frames go on from there.
  void (*start)(uint64_t first_frame);
  // Stops and closes the output; no module_player_render runs once it returns.
  void (*close)();
  // The stream frame the listener hears now, in the numbering start gave; false once the device
  // has failed (unplugged, its sound server gone, stalled). Main thread.
  bool (*heard_frame)(int64_t* frame);
};

// The backend's devices, best first.
extern const MusicDevice* const music_devices[];
extern const int32_t music_device_count;

// The system's default output has changed (headphones plugged in, a headset connected): the
// player closes the device at its next poll and opens the list again, the stream going on from the
// frame it had reached; while it plays silently, it tries the list at its next poll instead of
// waiting for the next retry. Any thread may call it.
void module_player_default_output_changed();

// A device's rendering thread asks for the next frames of the module: stereo, 16-bit,
// interleaved, stamped in the stream; silence where there is no module.
void module_player_render(int16_t* out, int32_t frames);
