// Any bytes as a whole archive file: open it, then load and size every name its directory
// holds (all from the archive, so no loose file is touched), then close it.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "archive/archive.h"

namespace {

// In memory when possible: rewriting a truncated file on ext4 flushes it to disk every time.
const std::string& scratch_archive() {
  static const std::string path = [] {
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::is_directory("/dev/shm", error)
                                             ? "/dev/shm"
                                             : std::filesystem::temp_directory_path();
    std::string pattern = (folder / "tarnwick-fuzz-XXXXXX").string();
    const int fd = mkstemp(pattern.data());
    if (fd < 0) std::abort();
    close(fd);
    return pattern;
  }();
  return path;
}

void remove_scratch_archive() { std::remove(scratch_archive().c_str()); }

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  scratch_archive();
  std::atexit(remove_scratch_archive);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FILE* file = std::fopen(scratch_archive().c_str(), "wb");
  if (!file) std::abort();
  if (std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0) std::abort();

  archive_open(scratch_archive().c_str());
  for (int32_t i = 0; i < archive_count; ++i) {
    const char* name = archive_directory[i].name;
    uint8_t* block = nullptr;
    uint32_t block_size = 0;
    if (load_file(name, &block, &block_size) == 0) {
      // Every byte of the block must be readable. A short stream may leave megabytes of zeros
      // behind it: there one byte a page and the last one show the block's true extent.
      const uint32_t step = block_size > (1u << 20) ? 4096 : 1;
      volatile uint8_t sum = 0;
      for (uint32_t at = 0; at < block_size; at += step) sum = static_cast<uint8_t>(sum + block[at]);
      if (block_size > 0) sum = static_cast<uint8_t>(sum + block[block_size - 1]);
      std::free(block);
    }
    archive_file_size(name);
  }
  archive_close();
  return 0;
}
