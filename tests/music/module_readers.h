// Opens a module in the two independent readers the tests compare: libopenmpt and libxmp.
#pragma once
#include <libopenmpt/libopenmpt.h>
#include <xmp.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace music_test {

inline std::vector<uint8_t> read_bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A libopenmpt module with every log line and the load warnings it produced.
struct OpenmptModule {
  openmpt_module* mod = nullptr;
  std::string log;
  std::string warnings;

  explicit OpenmptModule(const std::vector<uint8_t>& bytes) {
    mod = openmpt_module_create_from_memory2(bytes.data(), bytes.size(), &collect, &log, &openmpt_error_func_ignore,
                                             nullptr, nullptr, nullptr, nullptr);
    if (mod) {
      const char* text = openmpt_module_get_metadata(mod, "warnings");
      warnings = text ? text : "";
      openmpt_free_string(text);
    }
  }
  ~OpenmptModule() {
    if (mod) openmpt_module_destroy(mod);
  }
  OpenmptModule(const OpenmptModule&) = delete;
  OpenmptModule& operator=(const OpenmptModule&) = delete;

  std::string metadata(const char* key) const {
    const char* text = openmpt_module_get_metadata(mod, key);
    std::string value = text ? text : "";
    openmpt_free_string(text);
    return value;
  }

  static void collect(const char* message, void* user) {
    *static_cast<std::string*>(user) += std::string(message) + "\n";
  }
};

// A libxmp context with the module loaded (loaded is false when the load failed).
struct XmpModule {
  xmp_context context = xmp_create_context();
  bool loaded = false;
  xmp_module_info info{};

  explicit XmpModule(const std::vector<uint8_t>& bytes) {
    loaded = xmp_load_module_from_memory(context, bytes.data(), static_cast<long>(bytes.size())) == 0;
    if (loaded) xmp_get_module_info(context, &info);
  }
  ~XmpModule() {
    if (loaded) xmp_release_module(context);
    xmp_free_context(context);
  }
  XmpModule(const XmpModule&) = delete;
  XmpModule& operator=(const XmpModule&) = delete;
};

}  // namespace music_test
