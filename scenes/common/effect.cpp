// The globals the host and every effect share.
#include "scenes/common/effect.h"

uint8_t* fx_frame = nullptr;
uint8_t scene_first_frame = 0;
uint32_t tick_count = 0;
const uint8_t* fade_target = nullptr;
uint8_t fade_pending = 0;
