// The archive's reader: its directory, its stored or LZW-compressed entries, loose files beside it.
#include "archive/archive.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "archive/lzw.h"

uint8_t archive_present = 0;
ArchiveRecord archive_directory[archive_max_records];
int32_t archive_count = 0;

namespace {

FILE* archive_file = nullptr;
uint64_t archive_length = 0;   // bytes in the archive file when it was opened
char archive_unreadable[160];  // "Can't read NAME: reason" while an archive that exists cannot be read
char last_error[160];          // why the last load failed, "" when its file was found nowhere

uint32_t read_u32(const uint8_t* bytes) {
  return bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
}

// Length of an open regular file; false for anything else (a directory opens too).
bool regular_file_length(FILE* file, uint64_t* length) {
  struct stat info;
  if (fstat(fileno(file), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 0) return false;
  *length = static_cast<uint64_t>(info.st_size);
  return true;
}

enum class Opened { file, missing, not_regular, unreadable };

// Opens a regular file for reading. Anything else is refused before it is opened, since a
// named pipe would block the open and a device never ends; *error is errno when unreadable.
Opened open_regular(const char* name, FILE** file, uint64_t* length, int* error) {
  struct stat info;
  if (stat(name, &info) != 0) {
    *error = errno;
    return errno == ENOENT || errno == ENOTDIR ? Opened::missing : Opened::unreadable;
  }
  if (!S_ISREG(info.st_mode)) return Opened::not_regular;
  *file = std::fopen(name, "rb");
  if (!*file) {
    *error = errno;
    return errno == ENOENT ? Opened::missing : Opened::unreadable;
  }
  if (regular_file_length(*file, length)) return Opened::file;
  std::fclose(*file);
  *file = nullptr;
  return Opened::not_regular;
}

// Why a read came up short: the system's reason for an error, else the file ended.
const char* short_read_reason(FILE* file) {
  return std::ferror(file) && errno != 0 ? std::strerror(errno) : "short read";
}

bool read_at(uint64_t offset, uint8_t* bytes, uint32_t count) {
  if (count == 0) return true;
  std::clearerr(archive_file);  // an error is this read's own
  errno = 0;
  return fseeko(archive_file, static_cast<off_t>(offset), SEEK_SET) == 0 &&
         std::fread(bytes, 1, count, archive_file) == count;
}

void forget_archive() {
  if (archive_file) std::fclose(archive_file);
  archive_file = nullptr;
  archive_length = 0;
  archive_present = 0;
  archive_count = 0;
  archive_unreadable[0] = '\0';
}

// An archive that is there but cannot be read: said at once, and again by every load that then
// finds its file nowhere, so that it is not taken for a missing file.
bool unreadable_archive(const char* name, const char* reason) {
  forget_archive();
  std::snprintf(archive_unreadable, sizeof archive_unreadable, "Can't read %s: %s", name, reason);
  std::printf("%s\n", archive_unreadable);
  return false;
}

// Gives up on an archive whose directory cannot be right; loads then go to loose files.
bool reject_archive(const char* name, const char* reason) {
  std::printf("Ignoring archive %s: %s, using loose files\n", name, reason);
  forget_archive();
  return false;
}

// A directory read that came up short: an error of the system, or a file shorter than it says.
bool directory_unread(const char* name, const char* reason) {
  if (std::ferror(archive_file)) return unreadable_archive(name, short_read_reason(archive_file));
  return reject_archive(name, reason);
}

void parse_record(const uint8_t* bytes, ArchiveRecord* record) {
  std::memcpy(record->name, bytes, archive_name_size);
  record->name[archive_name_size] = 0;
  record->entry.offset = read_u32(bytes + 13);
  record->entry.stored_size = read_u32(bytes + 17);
  record->entry.unpacked_size = read_u32(bytes + 21);
  record->entry.method = bytes[25];
}

// Fails a load with one line naming the file, kept for archive_last_error.
int load_failure(const char* name, const char* reason) {
  std::snprintf(last_error, sizeof last_error, "Could not load %s: %s", name, reason);
  std::printf("%s\n", last_error);
  return 1;
}

int out_of_memory(const char* name, uint64_t size) {
  std::snprintf(last_error, sizeof last_error, "Could not load %s: no memory for %llu bytes", name,
                static_cast<unsigned long long>(size));
  std::printf("Mem alloc fault\n");
  return 1;
}

// The entry's bytes as stored, in a new block of at least one byte.
int read_stored(const char* name, const ArchiveEntry& entry, uint8_t** stored) {
  if (static_cast<uint64_t>(entry.offset) + entry.stored_size > archive_length) {
    return load_failure(name, "entry runs past the end of the archive");
  }
  uint8_t* bytes = static_cast<uint8_t*>(std::malloc(entry.stored_size > 0 ? entry.stored_size : 1));
  if (!bytes) return out_of_memory(name, entry.stored_size);
  if (!read_at(entry.offset, bytes, entry.stored_size)) {
    std::free(bytes);
    return load_failure(name, short_read_reason(archive_file));
  }
  *stored = bytes;
  return 0;
}

int load_from_archive(const char* name, const ArchiveEntry& entry, uint8_t** block, uint32_t* size) {
  std::printf(".");
  if (entry.method != archive_method_lzw) {
    uint8_t* bytes = nullptr;
    if (read_stored(name, entry, &bytes) != 0) return 1;
    *block = bytes;
    if (size) *size = entry.stored_size;
    return 0;
  }

  // A short stream is valid (the rest of the block stays zero), so the size is only held to a
  // cap far above any real file; an empty block cannot hold even the first literal.
  if (entry.unpacked_size == 0 || entry.unpacked_size > archive_max_unpacked_size) {
    return load_failure(name, "unpacked size does not fit its compressed size");
  }
  uint8_t* packed = nullptr;
  if (read_stored(name, entry, &packed) != 0) return 1;
  // Zero-filled: bytes a short stream does not produce stay zero.
  uint8_t* unpacked = static_cast<uint8_t*>(std::calloc(entry.unpacked_size, 1));
  if (!unpacked) {
    std::free(packed);
    return out_of_memory(name, entry.unpacked_size);
  }
  const bool decoded = lzw_decode(packed, entry.stored_size, unpacked, entry.unpacked_size);
  std::free(packed);
  if (!decoded) {
    std::free(unpacked);
    return load_failure(name, "damaged LZW stream");
  }
  *block = unpacked;
  if (size) *size = entry.unpacked_size;
  return 0;
}

int load_loose(const char* name, uint8_t** block, uint32_t* size) {
  FILE* file = nullptr;
  uint64_t length = 0;
  int error = 0;
  const Opened opened = open_regular(name, &file, &length, &error);
  if (opened == Opened::unreadable) {
    std::snprintf(last_error, sizeof last_error, "Can't read %s: %s", name, std::strerror(error));
    std::printf("%s\n", last_error);
    return 1;
  }
  if (opened != Opened::file) {
    std::printf("Could not open %s\n", name);
    // The file may well be in the archive that could not be read.
    std::memcpy(last_error, archive_unreadable, sizeof last_error);
    return 1;
  }
  std::printf(".");
  if (length > UINT32_MAX) {
    std::fclose(file);
    return load_failure(name, "larger than 4 GiB");
  }
  const size_t count = static_cast<size_t>(length);
  uint8_t* bytes = static_cast<uint8_t*>(std::malloc(count > 0 ? count : 1));
  if (!bytes) {
    std::fclose(file);
    return out_of_memory(name, count);
  }
  errno = 0;
  const bool complete = std::fread(bytes, 1, count, file) == count;
  const char* reason = complete ? "" : short_read_reason(file);
  std::fclose(file);
  if (!complete) {
    std::free(bytes);
    return load_failure(name, reason);
  }
  *block = bytes;
  if (size) *size = static_cast<uint32_t>(count);
  return 0;
}

}  // namespace

bool archive_read_directory(const char* name) {
  forget_archive();
  int error = 0;
  switch (open_regular(name, &archive_file, &archive_length, &error)) {
    case Opened::file: break;
    case Opened::missing: return false;
    case Opened::not_regular: return reject_archive(name, "not a regular file");
    case Opened::unreadable: return unreadable_archive(name, std::strerror(error));
  }
  uint8_t count_bytes[4];
  if (!read_at(0, count_bytes, 4)) return directory_unread(name, "shorter than its entry count");
  const int32_t count = static_cast<int32_t>(read_u32(count_bytes));
  char reason[80];
  if (count < 0 || count > archive_max_records) {
    std::snprintf(reason, sizeof reason, "entry count %d is outside 0..%d", count, archive_max_records);
    return reject_archive(name, reason);
  }
  static uint8_t records[archive_max_records * archive_record_size];
  const uint32_t directory_size = static_cast<uint32_t>(count) * archive_record_size;
  std::snprintf(reason, sizeof reason, "directory of %d entries runs past the end of the file", count);
  if (4 + static_cast<uint64_t>(directory_size) > archive_length) return reject_archive(name, reason);
  if (!read_at(4, records, directory_size)) return directory_unread(name, reason);
  for (int32_t i = 0; i < count; ++i) parse_record(records + i * archive_record_size, &archive_directory[i]);
  archive_count = count;
  archive_present = 1;
  return true;
}

void archive_open(const char* name) {
  std::printf("Filesystem 3.10\n");
  archive_read_directory(name);
}

int archive_find(const char* name, ArchiveEntry* entry) {
  for (int32_t i = 0; i < archive_count; ++i) {
    if (std::strcmp(archive_directory[i].name, name) == 0) {
      if (entry) *entry = archive_directory[i].entry;
      return 0;
    }
  }
  return 1;
}

int load_file(const char* name, uint8_t** block, uint32_t* size) {
  last_error[0] = '\0';
  ArchiveEntry entry;
  if (archive_present && archive_find(name, &entry) == 0) return load_from_archive(name, entry, block, size);
  return load_loose(name, block, size);
}

void archive_close() { forget_archive(); }

const char* archive_last_error() { return last_error; }

uint32_t archive_file_size(const char* name) {
  ArchiveEntry entry;
  if (archive_present && archive_find(name, &entry) == 0) return entry.stored_size;
  FILE* file = nullptr;
  uint64_t length = 0;
  int error = 0;
  const bool found = open_regular(name, &file, &length, &error) == Opened::file;
  if (file) std::fclose(file);
  if (!found) {
    std::printf("Could not find %s\n", name);
    return 0;
  }
  return length > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(length);
}
