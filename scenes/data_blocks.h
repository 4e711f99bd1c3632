// Every built-in data block of the show, by the file name it is dumped under.
#pragma once
#include <cstddef>

struct DataBlock {
  const char* file_name;  // variable name plus .raw, .bin or .pal
  const void* bytes;      // integers are little-endian, as on the machines we run on
  size_t size;
};

extern const DataBlock data_blocks[];
extern const size_t data_block_count;
