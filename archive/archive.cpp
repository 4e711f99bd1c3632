// Minimal loader until the archive reader lands: loose files only.
#include "archive/archive.h"

#include <cstdio>
#include <cstdlib>

uint8_t archive_present = 0;

void archive_open(const char*) { std::printf("Filesystem 3.10\n"); }

int archive_find(const char*, ArchiveEntry*) { return 1; }

int load_file(const char* name, uint8_t** block, uint32_t* size) {
  FILE* f = std::fopen(name, "rb");
  if (!f) {
    std::printf("Could not open %s\n", name);
    return 1;
  }
  std::printf(".");
  std::fseek(f, 0, SEEK_END);
  const long length = std::ftell(f);
  std::fseek(f, 0, SEEK_SET);
  uint8_t* bytes = static_cast<uint8_t*>(std::malloc(length > 0 ? static_cast<size_t>(length) : 1));
  if (!bytes || std::fread(bytes, 1, static_cast<size_t>(length), f) != static_cast<size_t>(length)) {
    std::free(bytes);
    std::fclose(f);
    return 1;
  }
  std::fclose(f);
  *block = bytes;
  if (size) *size = static_cast<uint32_t>(length);
  return 0;
}

void archive_close() {}

uint32_t archive_file_size(const char*) { return 0; }
