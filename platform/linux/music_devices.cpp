// The Linux program's outputs, best first: the sound server's own stream knows the whole delay to
// the listener; SDL's audio serves where no server answers (plain ALSA).
#include "platform/music_device.h"
#include "platform/pulse/pulse_device.h"

const MusicDevice* const music_devices[] = {&pulse_audio_device};
const int32_t music_device_count = sizeof music_devices / sizeof music_devices[0];
