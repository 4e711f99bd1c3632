// Loading the tracker module for libopenmpt, the same on every platform.
#pragma once
#include <cstddef>
#include <cstdint>

struct openmpt_module;

// The largest module file read: far above any real module, far below what memory holds.
constexpr size_t module_file_max_size = size_t{64} << 20;

// Reads the module file and prepares it to loop at its end; nullptr with the reason in error.
openmpt_module* module_file_load(const char* path, char* error, size_t error_size);
// The module's order list as music_order_count and music_pattern_rows report it (0 and -1
// without a module).
int32_t module_order_count(openmpt_module* module);
int32_t module_pattern_rows(openmpt_module* module, int32_t order);
