// Scratch folders, files and captured standard output for the archive and packer tests.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "archive/archive.h"

namespace archive_test {

// Runs each test inside a fresh temporary folder (loose files are looked for in the current
// one) and leaves no archive open behind it.
class ScratchFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    home_ = std::filesystem::current_path();
    // A new folder of its own: ctest runs test programs in parallel.
    std::random_device entropy;
    do {
      scratch_ = std::filesystem::temp_directory_path() / ("tarnwick-archive-" + std::to_string(entropy()));
    } while (!std::filesystem::create_directory(scratch_));
    std::filesystem::current_path(scratch_);
    archive_close();
  }
  void TearDown() override {
    archive_close();
    std::filesystem::current_path(home_);
    std::filesystem::remove_all(scratch_);
  }
  std::filesystem::path home_;  // where the tests started: the programs' folder
  std::filesystem::path scratch_;
};

inline void write_file(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<uint8_t> read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::vector<uint8_t> bytes_of(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

inline std::vector<uint8_t> random_bytes(size_t size, uint32_t seed) {
  std::mt19937 generator(seed);
  std::vector<uint8_t> bytes(size);
  for (uint8_t& b : bytes) b = static_cast<uint8_t>(generator());
  return bytes;
}

// Standard output written while body runs.
template <typename Body>
std::string stdout_of(Body body) {
  std::fflush(stdout);
  ::testing::internal::CaptureStdout();
  body();
  return ::testing::internal::GetCapturedStdout();
}

// A block loaded by load_file, freed at the end of the scope.
struct Loaded {
  uint8_t* block = nullptr;
  uint32_t size = 0;
  ~Loaded() { std::free(block); }
  std::vector<uint8_t> bytes() const { return std::vector<uint8_t>(block, block + size); }
};

}  // namespace archive_test
