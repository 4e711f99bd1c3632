// tarnwick-icon-png: writes the window's icon (iconbig) as a PNG of the given size, for the
// desktop's icon theme.
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "packaging/icon_pixels.h"
#include "resources/resources.h"

int main(int argc, char** argv) {
  char* end = nullptr;
  const long size = argc == 3 ? std::strtol(argv[1], &end, 10) : 0;
  if (size <= 0 || size > 1024 || *end != '\0' || size % iconbig_size != 0) {
    std::fprintf(stderr, "usage: tarnwick-icon-png SIZE OUT.png (SIZE a multiple of %d, at most 1024)\n", iconbig_size);
    return 2;
  }
  const std::vector<uint8_t> rgba = icon_rgba(iconbig, iconbig_size, static_cast<int32_t>(size / iconbig_size));
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(size);
  image.height = static_cast<png_uint_32>(size);
  image.format = PNG_FORMAT_RGBA;
  if (!png_image_write_to_file(&image, argv[2], 0, rgba.data(), 0, nullptr)) {
    std::fprintf(stderr, "tarnwick-icon-png: cannot write %s: %s\n", argv[2], image.message);
    return 1;
  }
  return 0;
}
