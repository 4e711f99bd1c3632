// The outputs the Linux program plays through, best first.
#include "platform/music_device.h"

extern const MusicDevice sdl_audio;

const MusicDevice* const music_devices[] = {&sdl_audio};
const int32_t music_device_count = sizeof music_devices / sizeof music_devices[0];
