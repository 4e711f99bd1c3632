// tarnwick-pack: builds and reads archives in the show's format.
//   create OUT [--store] FILE...   archive of the files under their base names
//   list ARCHIVE                   name, offset, stored size, unpacked size, method per record
//   extract ARCHIVE NAME OUT       NAME loaded exactly as the show loads it, written to OUT
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "archive/archive.h"
#include "tools/pack/archive_writer.h"
#include "tools/standard_options.h"

namespace {

const char* const pack_usage =
    "usage: tarnwick-pack create OUT [--store] FILE...\n"
    "       tarnwick-pack list ARCHIVE\n"
    "       tarnwick-pack extract ARCHIVE NAME OUT\n"
    "       tarnwick-pack --help | --version\n";

int usage() {
  std::fputs(pack_usage, stderr);
  return 2;
}

bool read_whole(const char* path, std::vector<uint8_t>* bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in || std::filesystem::is_directory(path)) return false;
  bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

bool write_whole(const char* path, const uint8_t* bytes, size_t size) {
  FILE* file = std::fopen(path, "wb");
  if (!file) return false;
  const bool written = std::fwrite(bytes, 1, size, file) == size;
  return std::fclose(file) == 0 && written;
}

int create(int argc, char** argv) {
  if (argc < 3) return usage();
  const char* out = argv[2];
  std::vector<PackInput> files;
  bool store_next = false;
  for (int a = 3; a < argc; ++a) {
    if (std::strcmp(argv[a], "--store") == 0) {
      store_next = true;
      continue;
    }
    PackInput file;
    file.name = std::filesystem::path(argv[a]).filename().string();
    file.store = store_next;
    store_next = false;
    if (!read_whole(argv[a], &file.bytes)) {
      std::fprintf(stderr, "tarnwick-pack: cannot read %s\n", argv[a]);
      return 1;
    }
    files.push_back(std::move(file));
  }
  if (store_next) return usage();  // --store with no file after it
  std::vector<uint8_t> image;
  std::string error;
  if (!archive_build(files, &image, &error)) {
    std::fprintf(stderr, "tarnwick-pack: %s\n", error.c_str());
    return 1;
  }
  if (!write_whole(out, image.data(), image.size())) {
    std::fprintf(stderr, "tarnwick-pack: cannot write %s\n", out);
    std::remove(out);
    return 1;
  }
  return 0;
}

int list(int argc, char** argv) {
  if (argc != 3) return usage();
  if (!std::filesystem::exists(argv[2])) {
    std::printf("Could not open %s\n", argv[2]);
    return 1;
  }
  if (!archive_read_directory(argv[2])) return 1;
  for (int32_t i = 0; i < archive_count; ++i) {
    const ArchiveRecord& record = archive_directory[i];
    std::printf("%-13s %10u %10u %10u %u\n", record.name, record.entry.offset, record.entry.stored_size,
                record.entry.unpacked_size, record.entry.method);
  }
  archive_close();
  return 0;
}

int extract(int argc, char** argv) {
  if (argc != 5) return usage();
  archive_open(argv[2]);
  uint8_t* block = nullptr;
  uint32_t size = 0;
  const int failed = load_file(argv[3], &block, &size);
  archive_close();
  if (failed) return 1;
  const bool written = write_whole(argv[4], block, size);
  std::free(block);
  if (!written) {
    std::fflush(stdout);
    std::fprintf(stderr, "tarnwick-pack: cannot write %s\n", argv[4]);
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return usage();
  const std::string command = argv[1];
  if (is_standard_option(command)) return answer_standard_option(command, "tarnwick-pack", pack_usage);
  if (command == "create") return create(argc, argv);
  if (command == "list") return list(argc, argv);
  if (command == "extract") return extract(argc, argv);
  return usage();
}
