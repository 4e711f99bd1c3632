// How generators write their output: generated C++ source (array definitions, 16 values a line)
// or raw bytes. A file's whole text is built before the file is opened, so a generator that
// stops on bad input leaves the previous file untouched.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace datagen {

// "declaration = {", the values (decimal, 16 a line), "};" and a blank line.
std::string source_array(const std::string& declaration, const uint8_t* values, size_t count);
std::string source_array(const std::string& declaration, const int32_t* values, size_t count);
// The same with the values in eight-digit hexadecimal, 8 a line.
std::string source_hex_array(const std::string& declaration, const uint32_t* values, size_t count);

template <typename T>
std::string source_array(const std::string& declaration, const std::vector<T>& values) {
  return source_array(declaration, values.data(), values.size());
}

// Writes path: a note that generator made it and is not to be edited, the includes, then body.
bool write_source(const std::string& path, const std::string& generator, const std::vector<std::string>& includes,
                  const std::string& body);

// Writes path byte for byte; says on stderr when it cannot.
bool write_bytes(const std::string& path, const void* bytes, size_t size);

inline bool write_bytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  return write_bytes(path, bytes.data(), bytes.size());
}

// True when argc is wanted_argc (the program's name counts); else prints "usage: " and usage.
bool arguments_fit(int argc, int wanted_argc, const char* usage);

}  // namespace datagen
