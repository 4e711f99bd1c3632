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
  openmpt_module* module = openmpt_module_create_from_memory2(
      bytes.data(), bytes.size(), ignore_log, nullptr, nullptr, nullptr, &code, &message, nullptr);
  if (!module) std::snprintf(error, error_size, "%s: %s", path, message ? message : "not a module");
  openmpt_free_string(message);
  if (module) openmpt_module_set_repeat_count(module, -1);  // loop at the end
  return module;
}
