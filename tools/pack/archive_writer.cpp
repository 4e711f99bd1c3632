// Archive images in the format archive_open reads.
#include "tools/pack/archive_writer.h"

#include <set>

#include "archive/archive.h"
#include "archive/lzw_encoder.h"

namespace {

void append_u32(std::vector<uint8_t>* image, uint32_t value) {
  for (int i = 0; i < 4; ++i) image->push_back(static_cast<uint8_t>(value >> (8 * i)));
}

}  // namespace

void archive_append_record(std::vector<uint8_t>* image, const std::string& name, uint32_t offset, uint32_t stored_size,
                           uint32_t unpacked_size, uint8_t method) {
  for (size_t i = 0; i < static_cast<size_t>(archive_name_size); ++i) {
    image->push_back(i < name.size() ? static_cast<uint8_t>(name[i]) : 0);
  }
  append_u32(image, offset);
  append_u32(image, stored_size);
  append_u32(image, unpacked_size);
  image->push_back(method);
}

bool archive_build(const std::vector<PackInput>& files, std::vector<uint8_t>* image, std::string* error) {
  if (files.size() > static_cast<size_t>(archive_max_records)) {
    *error = "more than " + std::to_string(archive_max_records) + " files";
    return false;
  }
  std::set<std::string> names;
  for (const PackInput& file : files) {
    if (file.name.empty() || file.name.size() > pack_max_name_length) {
      *error = "name \"" + file.name + "\" is not 1 to 12 characters";
      return false;
    }
    if (file.name.find('\0') != std::string::npos || !names.insert(file.name).second) {
      *error = "name \"" + file.name + "\" is repeated or holds a zero byte";
      return false;
    }
  }

  std::vector<std::vector<uint8_t>> payloads;
  std::vector<uint8_t> methods;
  uint64_t offset = 4 + static_cast<uint64_t>(files.size()) * archive_record_size;
  std::vector<uint8_t> directory;
  append_u32(&directory, static_cast<uint32_t>(files.size()));
  for (const PackInput& file : files) {
    const bool store = file.store || file.bytes.empty();
    payloads.push_back(store ? file.bytes : lzw_encode(file.bytes.data(), file.bytes.size()));
    const uint64_t stored_size = payloads.back().size();
    if (file.bytes.size() > UINT32_MAX || offset + stored_size > UINT32_MAX) {
      *error = "archive would be larger than 4 GiB";
      return false;
    }
    archive_append_record(&directory, file.name, static_cast<uint32_t>(offset), static_cast<uint32_t>(stored_size),
                          static_cast<uint32_t>(file.bytes.size()), store ? 0 : archive_method_lzw);
    offset += stored_size;
  }
  *image = std::move(directory);
  for (const std::vector<uint8_t>& payload : payloads) image->insert(image->end(), payload.begin(), payload.end());
  return true;
}
