// tarnwick-icon-png: writes the window's icon (iconbig) as a PNG of the given size, for the
// desktop's icon theme, or with --maskable as a phone's home-screen icon.
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "packaging/icon_pixels.h"
#include "resources/resources.h"

int main(int argc, char** argv) {
  const bool maskable = argc == 4 && std::strcmp(argv[1], "--maskable") == 0;
  const int first = maskable ? 2 : 1;
  char* end = nullptr;
  const long size = argc == first + 2 ? std::strtol(argv[first], &end, 10) : 0;
  const long smallest = iconbig_size * 5 / 4;
  const bool size_ok = maskable ? size >= smallest : size > 0 && size % iconbig_size == 0;
  if (!size_ok || size > 1024 || *end != '\0') {
    std::fprintf(stderr,
                 "usage: tarnwick-icon-png SIZE OUT.png (SIZE a multiple of %d, at most 1024)\n"
                 "       tarnwick-icon-png --maskable SIZE OUT.png (SIZE %ld to 1024)\n",
                 iconbig_size, smallest);
    return 2;
  }
  const std::vector<uint8_t> rgba = maskable
                                        ? icon_rgba_maskable(iconbig, iconbig_size, static_cast<int32_t>(size))
                                        : icon_rgba(iconbig, iconbig_size, static_cast<int32_t>(size / iconbig_size));
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(size);
  image.height = static_cast<png_uint_32>(size);
  image.format = PNG_FORMAT_RGBA;
  if (!png_image_write_to_file(&image, argv[first + 1], 0, rgba.data(), 0, nullptr)) {
    std::fprintf(stderr, "tarnwick-icon-png: cannot write %s: %s\n", argv[first + 1], image.message);
    return 1;
  }
  return 0;
}
