// Builds archive images in the format archive_open reads.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct PackInput {
  std::string name;  // at most 12 characters, so the record keeps a terminator
  std::vector<uint8_t> bytes;
  bool store = false;  // as is instead of LZW
};

constexpr size_t pack_max_name_length = 12;

// One 26-byte directory record, fields written as given (tests build damaged ones with it).
void archive_append_record(std::vector<uint8_t>* image, const std::string& name, uint32_t offset, uint32_t stored_size,
                           uint32_t unpacked_size, uint8_t method);

// The whole archive: count, directory, then each file's data in order. Empty files are always
// stored (no stream stands for zero bytes). False with a reason for names too long, empty or
// repeated, more than 300 files, or an image past 4 GiB.
bool archive_build(const std::vector<PackInput>& files, std::vector<uint8_t>* image, std::string* error);
