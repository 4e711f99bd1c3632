// The five data files of "tarnwick.dat", loaded at start-up and kept for the whole run.
#pragma once
#include <cstdint>

struct DataFile {
  const char* name;
  uint8_t** block;
  uint32_t min_size;  // the splash and the scenes read this much of it
};

constexpr int32_t data_file_count = 5;
// In the order start-up loads them, which is also the order the packer writes them.
extern const DataFile data_files[data_file_count];

// Opens "tarnwick.dat" and loads the five data files; false (after saying which file on
// standard error) when one is missing or too short.
bool load_data_files();
// The first missing or short file of the last load, as one line ("" when none).
const char* data_files_problem();
// Frees what the last load allocated, for loading again.
void free_data_files();
