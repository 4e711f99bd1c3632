#pragma once
// Loading the tracker module for libopenmpt, the same on every platform.
#include <cstddef>

struct openmpt_module;

// Reads the module file and prepares it to loop at its end; nullptr with the reason in error.
openmpt_module* module_file_load(const char* path, char* error, size_t error_size);
