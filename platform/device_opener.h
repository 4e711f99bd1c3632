// Closing a device and opening the backend's list again, for the module player. A sound server
// that stops answering would hold an open (or a close) for as long as it lives, so where the
// platform has threads the work runs on one of its own (device_opener_thread.cpp) and the main
// thread only looks at how far it got; where opening never blocks it is done at once
// (device_opener_inline.cpp).
#pragma once
#include <cstddef>
#include <cstdint>

struct MusicDevice;

// Closes `closing` (none: nullptr), then, if `open_after`, opens the first device of the list
// that answers. Only while no job is under way.
void device_opener_begin(const MusicDevice* closing, bool open_after);
// A job is under way, or ended and not yet taken.
bool device_opener_busy();
// Waits up to `wait_ns` for the job's old device to be closed; true once no other thread renders
// the module any more.
bool device_opener_closed(int64_t wait_ns);
// Waits up to `wait_ns` for the job to end; true once it has (or none is under way).
bool device_opener_wait(int64_t wait_ns);
// The ended job's device: nullptr when none opened, the last refusal in `error`. Idle again.
const MusicDevice* device_opener_take(char* error, size_t error_size);
// What the job waits for, having waited `waited_seconds`: the device, and the last refusal before it.
void device_opener_waiting(char* error, size_t error_size, int32_t waited_seconds);
// The job is left to end by itself: a device it opens after this is closed again. `error` says
// what it was waiting for.
void device_opener_abandon(char* error, size_t error_size, int32_t waited_seconds);
