// The module as a stream of sound with its positions stamped along it, the same on every platform
// that plays through a real device. The thread that renders stamps (frame, order, row) before each
// short slice; the main thread asks for the stamp of the frame being heard now, which only the
// platform knows (device queue, output clock), and gets the position packed for the script.
#pragma once
#include <cstdint>

struct openmpt_module;

constexpr int32_t module_sample_rate = 44100;

// Forgets every stamp; the next render starts at `first_frame`. Not while a render runs.
void module_stream_reset(uint64_t first_frame);
// Renders `frames` stereo frames into `out` (interleaved, 16-bit), stamping each slice; where the
// module cannot play on, the rest is silence. Rendering thread only.
void module_stream_render(openmpt_module* module, int16_t* out, int32_t frames);
// Frames rendered so far, counted from the reset's first frame. Rendering thread only.
uint64_t module_stream_frames_rendered();
// Position of the newest stamp at or before `heard_frame`: order in the low 16 bits, row in the
// high 16 bits; 0 before anything was rendered. Safe from any thread.
uint32_t module_stream_position_at(int64_t heard_frame);
