// The tracker module loaded into libopenmpt, the same on every platform.
#include "platform/module_file.h"

#include <libopenmpt/libopenmpt.h>

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

void ignore_log(const char*, void*) {}

bool refuse(char* error, size_t error_size, const char* path, const char* reason) {
  std::snprintf(error, error_size, "%s %s", path, reason);
  return false;
}

// size 0 where the system cannot say it.
bool refuse_too_large(char* error, size_t error_size, const char* path, uint64_t size) {
  char bytes[32] = "";
  if (size > 0) std::snprintf(bytes, sizeof bytes, ": %llu bytes", static_cast<unsigned long long>(size));
  std::snprintf(error, error_size, "%s is too large%s, a module has at most %zu MiB", path, bytes,
                module_file_max_size >> 20);
  return false;
}

// The whole file in a new heap block (free with std::free). Only a regular file of at most
// module_file_max_size is read: a device never ends and a named pipe would block the open. The
// bound holds while reading too, for a file that grows or says a wrong size.
bool read_module_file(const char* path, uint8_t** bytes, size_t* length, char* error, size_t error_size) {
  struct stat info;
  if (stat(path, &info) != 0) {
    // A size the system's stat cannot hold is over the bound.
    if (errno == EOVERFLOW) return refuse_too_large(error, error_size, path, 0);
    std::snprintf(error, error_size, "%s: %s", path, std::strerror(errno));
    return false;
  }
  if (!S_ISREG(info.st_mode)) return refuse(error, error_size, path, "is not a regular file");
  // Where the size is 32 bits (Windows) a file over 2 GiB has a negative one.
  if (info.st_size < 0) return refuse_too_large(error, error_size, path, 0);
  const uint64_t size = static_cast<uint64_t>(info.st_size);
  if (size > module_file_max_size) return refuse_too_large(error, error_size, path, size);
  FILE* f = std::fopen(path, "rb");
  if (!f) {
    std::snprintf(error, error_size, "%s: %s", path, std::strerror(errno));
    return false;
  }
  // One byte more than its size finds a file that grew since; the bound still holds.
  const size_t capacity = static_cast<size_t>(size) + 1;
  uint8_t* block = static_cast<uint8_t*>(std::malloc(capacity));
  if (!block) {
    std::fclose(f);
    std::snprintf(error, error_size, "%s: no memory for %zu bytes", path, capacity);
    return false;
  }
  errno = 0;
  const size_t got = std::fread(block, 1, capacity, f);
  const bool failed = std::ferror(f);
  const int read_error = errno;
  std::fclose(f);
  if (failed || got == capacity) {
    std::free(block);
    if (!failed)
      std::snprintf(error, error_size, "%s: changed while it was read", path);
    else
      std::snprintf(error, error_size, "%s: %s", path, read_error ? std::strerror(read_error) : "read error");
    return false;
  }
  *bytes = block;
  *length = got;
  return true;
}

}  // namespace

openmpt_module* module_file_load(const char* path, char* error, size_t error_size) {
  uint8_t* bytes = nullptr;
  size_t length = 0;
  if (!read_module_file(path, &bytes, &length, error, error_size)) return nullptr;
  int code = 0;
  const char* message = nullptr;
  openmpt_module* module = openmpt_module_create_from_memory2(bytes, length, ignore_log, nullptr, nullptr, nullptr,
                                                              &code, &message, nullptr);
  std::free(bytes);  // the module keeps its own copy
  if (!module) std::snprintf(error, error_size, "%s: %s", path, message ? message : "not a module");
  openmpt_free_string(message);
  if (module) {
    openmpt_module_set_repeat_count(module, -1);  // loop at the end
    // libopenmpt's default dither draws from a randomly seeded generator: without it every run
    // and every platform renders the same samples.
    openmpt_module_ctl_set_integer(module, "dither", 0);
  }
  return module;
}

int32_t module_order_count(openmpt_module* module) { return module ? openmpt_module_get_num_orders(module) : 0; }

int32_t module_pattern_rows(openmpt_module* module, int32_t order) {
  if (!module || order < 0 || order >= openmpt_module_get_num_orders(module)) return -1;
  // Skip and end markers are not patterns; libopenmpt answers them with an index past the last.
  const int32_t pattern = openmpt_module_get_order_pattern(module, order);
  if (pattern < 0 || pattern >= openmpt_module_get_num_patterns(module)) return -1;
  const int32_t rows = openmpt_module_get_pattern_num_rows(module, pattern);
  return rows > 0 ? rows : -1;
}
