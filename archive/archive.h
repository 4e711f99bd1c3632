// The show's data archive: named files, stored or LZW-compressed, with loose files as fallback.
//
// Layout, little-endian: a 32-bit signed entry count, then one 26-byte record per entry (name
// 13 bytes zero-padded, data offset, stored size, unpacked size, method byte; 1 = LZW), then
// the entries' data at their offsets.
#pragma once
#include <cstdint>

struct ArchiveEntry {
  uint32_t offset;         // absolute byte offset of the data
  uint32_t stored_size;    // bytes in the archive
  uint32_t unpacked_size;  // bytes after decompression
  uint8_t method;          // 1 = LZW, anything else = stored
};

constexpr int32_t archive_max_records = 300;
constexpr int32_t archive_name_size = 13;  // a 13-character name has no terminator
constexpr int32_t archive_record_size = 26;
constexpr uint8_t archive_method_lzw = 1;
// The largest block a compressed entry may unpack to (64 MiB); larger sizes are refused.
constexpr uint32_t archive_max_unpacked_size = 64u << 20;

struct ArchiveRecord {
  char name[archive_name_size + 1];  // always zero-terminated in memory
  ArchiveEntry entry;
};

extern uint8_t archive_present;
// The directory read by archive_open; archive_count is 0 while no archive is present.
extern ArchiveRecord archive_directory[archive_max_records];
extern int32_t archive_count;

// Prints the banner, opens the archive and reads its directory; absence is remembered. An
// archive that is there but cannot be read is said on standard output ("Can't read NAME:
// reason") and left absent.
void archive_open(const char* name);
// archive_open without the banner, for tools: true when the archive is present. A directory
// that cannot be right (count outside 0..300, records past the end of the file) leaves the
// archive absent, with one line on standard output saying why.
bool archive_read_directory(const char* name);
// 0 and the entry when name is in the directory, 1 when not.
int archive_find(const char* name, ArchiveEntry* entry);
// 0 on success: *block then holds a new heap block (free with std::free) with the file's
// bytes and *size, when given, its length. 1 on failure, *block unchanged.
int load_file(const char* name, uint8_t** block, uint32_t* size = nullptr);
// Why the last load_file failed, as one line: "" when its file was found nowhere, and the
// archive's own "Can't read NAME: reason" when that may be where it is.
const char* archive_last_error();
void archive_close();
// Stored size from the directory, else the loose file's length, else 0.
uint32_t archive_file_size(const char* name);
