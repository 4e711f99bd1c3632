// Writes the program's icon as a Windows .ico file from the same pixels the window uses
// (resources/iconbig_data.cpp): one 32-bit image, bottom-up, with its AND mask from the alpha.
// Runs on the build machine when the Windows program is cross-built.
//   make-icon OUT.ico
#include <cstdint>
#include <cstdio>
#include <vector>

#include "resources/resources.h"

namespace {

void put16(std::vector<uint8_t>& out, uint32_t value) {
  out.push_back(static_cast<uint8_t>(value));
  out.push_back(static_cast<uint8_t>(value >> 8));
}

void put32(std::vector<uint8_t>& out, uint32_t value) {
  put16(out, value & 0xFFFF);
  put16(out, value >> 16);
}

std::vector<uint8_t> make_icon_file(const uint32_t* argb, int32_t size) {
  const uint32_t side = static_cast<uint32_t>(size);
  const uint32_t mask_stride = (side + 31) / 32 * 4;  // rows of 1-bit pixels, 32-bit aligned
  const uint32_t image_bytes = 40 + side * side * 4 + mask_stride * side;
  std::vector<uint8_t> out;
  // ICONDIR, then the one ICONDIRENTRY.
  put16(out, 0);
  put16(out, 1);
  put16(out, 1);
  out.push_back(static_cast<uint8_t>(side));
  out.push_back(static_cast<uint8_t>(side));
  out.push_back(0);  // no palette
  out.push_back(0);
  put16(out, 1);   // planes
  put16(out, 32);  // bits per pixel
  put32(out, image_bytes);
  put32(out, 6 + 16);
  // BITMAPINFOHEADER: the height counts the colour image and the mask.
  put32(out, 40);
  put32(out, side);
  put32(out, side * 2);
  put16(out, 1);
  put16(out, 32);
  put32(out, 0);  // BI_RGB
  put32(out, side * side * 4 + mask_stride * side);
  for (int i = 0; i < 4; ++i) put32(out, 0);
  for (uint32_t y = side; y-- > 0;)
    for (uint32_t x = 0; x < side; ++x) put32(out, argb[y * side + x]);  // BGRA in memory order
  for (uint32_t y = side; y-- > 0;) {
    std::vector<uint8_t> row(mask_stride, 0);
    for (uint32_t x = 0; x < side; ++x)
      if ((argb[y * side + x] >> 24) == 0) row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
    out.insert(out.end(), row.begin(), row.end());
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make-icon OUT.ico\n");
    return 2;
  }
  const std::vector<uint8_t> bytes = make_icon_file(iconbig, iconbig_size);
  FILE* f = std::fopen(argv[1], "wb");
  const bool written = f && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  if (!f || std::fclose(f) != 0 || !written) {
    std::fprintf(stderr, "make-icon: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
