// Writes scenes/common/face_picture_data.cpp: the face flashed on the beat, a 160x100
// two-level picture (0 and 95) cut from a public-domain portrait photograph.
//
// Steps: crop around the head and average down to 160x100; blank the pale, grey backdrop
// (told from skin and hair by its lack of warmth) so the head stands out against black;
// sharpen so eyes, brows and mouth survive two levels; stretch the contrast; dither.
#include <png.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <vector>

#include "tools/datagen/common/emit_source.h"

namespace {

constexpr int out_width = 160;
constexpr int out_height = 100;
constexpr int out_size = out_width * out_height;
constexpr uint8_t ink = 95;

// The crop around the head, in pixels of the 512x512 portrait. The picture is shown doubled
// at 320x200 on a 4:3 screen, so its pixels are 1.2 times as tall as wide: a 4:3 crop keeps
// the face's proportions.
struct Crop {
  double left, top, width, height;
};
constexpr Crop crop = {110.0, 24.0, 232.0, 232.0 * 3.0 / 4.0};

// The face itself (output pixels), kept whatever its colour: eye whites and teeth are as
// grey as the backdrop.
struct Oval {
  double centre_x, centre_y, radius_x, radius_y;
};
constexpr Oval face_oval = {81.0, 61.0, 36.0, 42.0};

// Local contrast and tone: sharpening keeps the features, a gamma above 1 deepens the
// mid-tones of the skin so the dots gather in the shadows that shape the face.
constexpr double sharpen_amount = 1.6;
constexpr double tone_gamma = 1.8;

using Plane = std::vector<double>;

struct Rgb {
  int width = 0, height = 0;
  std::vector<uint8_t> pixels;  // r, g, b
};

bool read_rgb(const char* path, Rgb* out) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path)) return false;
  image.format = PNG_FORMAT_RGB;
  out->width = static_cast<int>(image.width);
  out->height = static_cast<int>(image.height);
  out->pixels.resize(PNG_IMAGE_SIZE(image));
  return png_image_finish_read(&image, nullptr, out->pixels.data(), 0, nullptr) != 0;
}

// Area average of one channel over the crop, one value per output pixel (0..1).
Plane resample(const Rgb& image, int channel) {
  Plane out(out_size);
  const double sx = crop.width / out_width, sy = crop.height / out_height;
  for (int n = 0; n < out_height; ++n) {
    for (int m = 0; m < out_width; ++m) {
      const double x0 = crop.left + m * sx, x1 = x0 + sx;
      const double y0 = crop.top + n * sy, y1 = y0 + sy;
      double sum = 0.0, area = 0.0;
      for (int y = static_cast<int>(y0); y < static_cast<int>(std::ceil(y1)); ++y) {
        const double wy = std::min(y1, y + 1.0) - std::max(y0, static_cast<double>(y));
        for (int x = static_cast<int>(x0); x < static_cast<int>(std::ceil(x1)); ++x) {
          const double wx = std::min(x1, x + 1.0) - std::max(x0, static_cast<double>(x));
          sum += wx * wy * image.pixels[3 * (y * image.width + x) + channel] / 255.0;
          area += wx * wy;
        }
      }
      out[n * out_width + m] = sum / area;
    }
  }
  return out;
}

// Mean over a (2r+1)-square, clipped at the edges.
Plane box_blur(const Plane& v, int r) {
  Plane out(out_size);
  for (int n = 0; n < out_height; ++n) {
    for (int m = 0; m < out_width; ++m) {
      double sum = 0.0;
      int count = 0;
      for (int nn = std::max(0, n - r); nn <= std::min(out_height - 1, n + r); ++nn)
        for (int mm = std::max(0, m - r); mm <= std::min(out_width - 1, m + r); ++mm) {
          sum += v[nn * out_width + mm];
          ++count;
        }
      out[n * out_width + m] = sum / count;
    }
  }
  return out;
}

double smoothstep(double edge0, double edge1, double x) {
  const double t = std::clamp((x - edge0) / (edge1 - edge0), 0.0, 1.0);
  return t * t * (3.0 - 2.0 * t);
}

// 1 on skin and hair, 0 on the backdrop.
Plane head_mask(const Plane& red, const Plane& blue) {
  Plane warm(out_size);
  for (int i = 0; i < out_size; ++i) warm[i] = smoothstep(0.09, 0.16, red[i] - blue[i]);
  Plane mask = box_blur(warm, 1);
  for (int n = 0; n < out_height; ++n) {
    for (int m = 0; m < out_width; ++m) {
      const double dx = (m - face_oval.centre_x) / face_oval.radius_x;
      const double dy = (n - face_oval.centre_y) * 1.2 / face_oval.radius_y;
      const double face = smoothstep(1.0, 0.8, std::sqrt(dx * dx + dy * dy));
      double& k = mask[n * out_width + m];
      k = std::max(smoothstep(0.3, 0.8, k), face);
    }
  }
  return mask;
}

// Stretches the range between the low and high percentiles of the kept pixels to 0..1.
void stretch(Plane* v, const Plane& mask, double low_fraction, double high_fraction) {
  std::vector<double> kept;
  for (int i = 0; i < out_size; ++i)
    if (mask[i] > 0.5) kept.push_back((*v)[i]);
  std::sort(kept.begin(), kept.end());
  const double lo = kept[static_cast<size_t>(low_fraction * (kept.size() - 1))];
  const double hi = kept[static_cast<size_t>(high_fraction * (kept.size() - 1))];
  for (double& x : *v) x = std::clamp((x - lo) / (hi - lo), 0.0, 1.0);
}

// Floyd-Steinberg in serpentine order: finer than an ordered pattern at this size.
std::vector<uint8_t> dither(Plane v) {
  std::vector<uint8_t> out(out_size);
  for (int n = 0; n < out_height; ++n) {
    const bool forward = n % 2 == 0;
    const int step = forward ? 1 : -1;
    for (int k = 0; k < out_width; ++k) {
      const int m = forward ? k : out_width - 1 - k;
      const int i = n * out_width + m;
      const double value = v[i] >= 0.5 ? 1.0 : 0.0;
      out[i] = value > 0.0 ? ink : 0;
      const double error = v[i] - value;
      const std::array<std::array<double, 3>, 4> spread = {
          {{1, 0, 7.0 / 16}, {-1, 1, 3.0 / 16}, {0, 1, 5.0 / 16}, {1, 1, 1.0 / 16}}};
      for (const auto& [dm, dn, weight] : spread) {
        const int mm = m + static_cast<int>(dm) * step, nn = n + static_cast<int>(dn);
        if (mm >= 0 && mm < out_width && nn < out_height) v[nn * out_width + mm] += error * weight;
      }
    }
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (!datagen::arguments_fit(argc, 3, "make-face PORTRAIT.png OUT.cpp")) return 2;
  Rgb portrait;
  if (!read_rgb(argv[1], &portrait) || portrait.width < crop.left + crop.width ||
      portrait.height < crop.top + crop.height) {
    std::fprintf(stderr, "cannot read a large enough portrait from %s\n", argv[1]);
    return 1;
  }
  const Plane red = resample(portrait, 0), green = resample(portrait, 1), blue = resample(portrait, 2);
  Plane face(out_size);
  for (int i = 0; i < out_size; ++i) face[i] = 0.299 * red[i] + 0.587 * green[i] + 0.114 * blue[i];

  const Plane mask = head_mask(red, blue);
  const Plane blurred = box_blur(face, 2);
  for (int i = 0; i < out_size; ++i) face[i] += sharpen_amount * (face[i] - blurred[i]);
  stretch(&face, mask, 0.03, 0.97);
  for (int i = 0; i < out_size; ++i) face[i] = std::pow(face[i], tone_gamma) * mask[i];
  const std::vector<uint8_t> picture = dither(face);

  const std::string body = datagen::source_array("const uint8_t face_picture[face_width * face_height]", picture);
  return datagen::write_source(argv[2], "tools/datagen/face/make_face.cpp", {"scenes/common/fx.h"}, body) ? 0 : 1;
}
