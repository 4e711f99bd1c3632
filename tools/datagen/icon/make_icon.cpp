// Writes resources/iconbig_data.cpp: the program's 32x32 icon, the show's emblem. A glowing
// teal sphere, lit from the left, with a bold T cut out of it and a soft halo, drawn with
// 8x8 samples per pixel so that its round edge is smooth and its straight edges stay crisp.
// With a second argument it also writes an enlarged preview PNG (over dark and light ground).
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "tools/datagen/common/emit_source.h"

namespace {

constexpr int size = 32;
constexpr int samples = 8;  // per pixel and axis
constexpr double centre = 16.0;
constexpr double radius = 12.5;
constexpr double halo_width = 3.0;

struct Colour {
  double r, g, b;
};

Colour mix(const Colour& a, const Colour& b, double t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// The show's black-green-teal-white ramp, t from 0 (shadow) to 1 (lit).
Colour ramp(double t) {
  static const Colour stops[] = {{0, 26, 14}, {0, 112, 58}, {36, 176, 150}, {150, 236, 224}};
  t = std::clamp(t, 0.0, 1.0) * 3.0;
  const int i = std::min(static_cast<int>(t), 2);
  return mix(stops[i], stops[i + 1], t - i);
}

bool in_letter(double x, double y) {
  const bool bar = x >= 9 && x < 23 && y >= 9 && y < 13;
  const bool stem = x >= 14 && x < 18 && y >= 13 && y < 25;
  return bar || stem;
}

// One sample: straight colour and opacity.
struct Sample {
  Colour colour;
  double alpha;
};

Sample shade(double x, double y) {
  const double dx = (x - centre) / radius;
  const double dy = (y - centre) / radius;
  const double d2 = dx * dx + dy * dy;
  if (d2 >= 1.0) {  // the halo around the sphere
    const double out = (std::sqrt(d2) - 1.0) * radius;
    if (out >= halo_width) return {{0, 0, 0}, 0.0};
    const double fade = 1.0 - out / halo_width;
    return {{40, 200, 176}, 0.75 * fade * fade};
  }
  if (in_letter(x, y)) return {{0, 30, 22}, 1.0};  // the T, cut to the sphere's dark core
  const double nz = std::sqrt(1.0 - d2);
  const double lx = -0.70, ly = -0.22, lz = 0.69;
  const double ll = std::sqrt(lx * lx + ly * ly + lz * lz);
  const double diffuse = std::max(0.0, (dx * lx + dy * ly + nz * lz) / ll);
  // Blinn highlight with the viewer straight ahead.
  const double hx = lx / ll, hy = ly / ll, hz = lz / ll + 1.0;
  const double hl = std::sqrt(hx * hx + hy * hy + hz * hz);
  const double specular = std::pow(std::max(0.0, (dx * hx + dy * hy + nz * hz) / hl), 40.0);
  const double rim = std::pow(1.0 - nz, 3.0) * 0.5;  // the glow wraps round the edge
  Colour c = ramp(0.15 + 0.85 * diffuse);
  c = mix(c, {60, 220, 196}, rim);
  c = mix(c, {255, 255, 255}, specular);
  return {c, 1.0};
}

uint8_t to_byte(double v) { return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0, 255.0))); }

void draw(uint32_t icon[size * size]) {
  for (int py = 0; py < size; ++py) {
    for (int px = 0; px < size; ++px) {
      double r = 0, g = 0, b = 0, a = 0;  // premultiplied sums
      for (int sy = 0; sy < samples; ++sy) {
        for (int sx = 0; sx < samples; ++sx) {
          const Sample s = shade(px + (sx + 0.5) / samples, py + (sy + 0.5) / samples);
          r += s.colour.r * s.alpha;
          g += s.colour.g * s.alpha;
          b += s.colour.b * s.alpha;
          a += s.alpha;
        }
      }
      uint32_t argb = 0;
      if (a > 0) {
        argb = static_cast<uint32_t>(to_byte(255.0 * a / (samples * samples))) << 24 |
               static_cast<uint32_t>(to_byte(r / a)) << 16 | static_cast<uint32_t>(to_byte(g / a)) << 8 |
               to_byte(b / a);
      }
      icon[py * size + px] = argb < 0x01000000u ? 0 : argb;  // fully clear pixels carry no colour
    }
  }
}

// The icon enlarged 8 times, once over a dark and once over a light ground.
bool write_preview(const char* path, const uint32_t icon[size * size]) {
  constexpr int scale = 8;
  constexpr int w = 2 * size * scale + scale, h = size * scale;
  std::vector<uint8_t> rgb(static_cast<size_t>(w) * h * 3, 128);
  for (int half = 0; half < 2; ++half) {
    const double ground = half == 0 ? 24.0 : 232.0;
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < size * scale; ++x) {
        const uint32_t p = icon[(y / scale) * size + x / scale];
        const double a = (p >> 24) / 255.0;
        uint8_t* out = &rgb[(static_cast<size_t>(y) * w + half * (size * scale + scale) + x) * 3];
        for (int c = 0; c < 3; ++c) out[c] = to_byte(ground + (((p >> (16 - 8 * c)) & 0xFF) - ground) * a);
      }
    }
  }
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = w;
  image.height = h;
  image.format = PNG_FORMAT_RGB;
  if (!png_image_write_to_file(&image, path, 0, rgb.data(), 0, nullptr)) {
    std::fprintf(stderr, "cannot write %s: %s\n", path, image.message);
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 && !datagen::arguments_fit(argc, 2, "make-icon OUT.cpp [PREVIEW.png]")) return 2;
  uint32_t icon[size * size];
  draw(icon);
  std::string body = datagen::source_hex_array("const uint32_t iconbig[iconbig_size * iconbig_size]", icon,
                                               size * size);
  body.pop_back();  // the file ends at the array's closing line, with no blank line after it
  if (!datagen::write_source(argv[1], "tools/datagen/icon/make_icon.cpp", {"resources/resources.h"}, body)) return 1;
  if (argc == 3 && !write_preview(argv[2], icon)) return 1;
  return 0;
}
