// The outputs the Windows program plays through, best first: WASAPI's audio clock says what the
// speakers play and the system's default output is followed; waveOut serves where WASAPI does not
// open (Windows XP, a system without the audio engine).
#include "platform/music_device.h"

extern const MusicDevice wasapi_audio;
extern const MusicDevice wave_out_audio;

const MusicDevice* const music_devices[] = {&wasapi_audio, &wave_out_audio};
const int32_t music_device_count = sizeof music_devices / sizeof music_devices[0];
