// Writes simple stand-ins for the archive's pictures, sized as the show reads them.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

static bool ends_with(const std::string& s, const char* tail) {
  const size_t n = std::strlen(tail);
  return s.size() >= n && s.compare(s.size() - n, n, tail) == 0;
}

int main(int argc, char** argv) {
  for (int a = 1; a < argc; ++a) {
    const std::string path = argv[a];
    std::vector<uint8_t> bytes;
    if (ends_with(path, ".pal")) {
      for (int i = 0; i < 256; ++i) {
        const uint8_t v = static_cast<uint8_t>(i / 4);
        bytes.insert(bytes.end(), {v, v, v});
      }
    } else {
      const int rows = ends_with(path, "scroll.bin") ? 1728 : 200;
      const int width = ends_with(path, "sidebar.bin") ? 32 : 320;
      for (int y = 0; y < rows; ++y)
        for (int x = 0; x < width; ++x) bytes.push_back(static_cast<uint8_t>((x ^ y) & 255));
    }
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || std::fclose(f) != 0) {
      std::fprintf(stderr, "cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}
