#pragma once
// The sound server's own stream as a music device (PulseAudio or pipewire-pulse).
#include "platform/music_device.h"

extern const MusicDevice pulse_audio_device;
