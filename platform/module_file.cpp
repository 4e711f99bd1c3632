#include "platform/module_file.h"

#include <libopenmpt/libopenmpt.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {
void ignore_log(const char*, void*) {}
}  // namespace

openmpt_module* module_file_load(const char* path, char* error, size_t error_size) {
  FILE* f = std::fopen(path, "rb");
  if (!f) {
    std::snprintf(error, error_size, "%s: %s", path, std::strerror(errno));
    return nullptr;
  }
  std::vector<char> bytes;
  char buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.insert(bytes.end(), buffer, buffer + n);
  std::fclose(f);
  int code = 0;
  const char* message = nullptr;
  openmpt_module* module = openmpt_module_create_from_memory2(bytes.data(), bytes.size(), ignore_log, nullptr, nullptr,
                                                              nullptr, &code, &message, nullptr);
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
