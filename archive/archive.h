#pragma once
// The show's data archive: named files, stored or LZW-compressed, with loose files as fallback.
#include <cstdint>

struct ArchiveEntry {
  uint32_t offset;         // absolute byte offset of the data
  uint32_t stored_size;    // bytes in the archive
  uint32_t unpacked_size;  // bytes after decompression
  uint8_t method;          // 1 = LZW, anything else = stored
};

extern uint8_t archive_present;

// Prints the banner, opens the archive and reads its directory; absence is remembered.
void archive_open(const char* name);
// 0 and the entry when name is in the directory, 1 when not.
int archive_find(const char* name, ArchiveEntry* entry);
// 0 on success: *block then holds a new heap block (free with std::free) with the file's
// bytes and *size, when given, its length. 1 on failure, *block unchanged.
int load_file(const char* name, uint8_t** block, uint32_t* size = nullptr);
void archive_close();
// Stored size from the directory, else the loose file's length, else 0.
uint32_t archive_file_size(const char* name);
