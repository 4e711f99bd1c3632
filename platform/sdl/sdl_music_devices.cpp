// The outputs the Linux program plays through, best first: the sound server's own stream knows the
// whole delay to the listener (Bluetooth, HDMI, the server's buffers); SDL's audio serves where no
// server answers (plain ALSA).
#include "platform/music_device.h"

extern const MusicDevice pulse_audio;
extern const MusicDevice sdl_audio;

const MusicDevice* const music_devices[] = {&pulse_audio, &sdl_audio};
const int32_t music_device_count = sizeof music_devices / sizeof music_devices[0];
