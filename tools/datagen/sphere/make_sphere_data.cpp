// Writes scenes/sphere/sphere_data.cpp: the sphere's latitude-longitude model and its palette.
#include <cmath>
#include <vector>

#include "tools/datagen/common/emit_source.h"
#include "tools/datagen/common/palette_ramp.h"

namespace {

constexpr int radius = 192;
constexpr int rings = 11;     // between the poles, 15 degrees apart
constexpr int segments = 24;  // 15 degrees apart
constexpr double first_azimuth = -28.0;
constexpr int vertex_count = 2 + rings * segments;                     // 266
constexpr int face_count = 2 * segments + 2 * segments * (rings - 1);  // 528
constexpr int vertex_offset = 12;
constexpr int face_offset = vertex_offset + vertex_count * 6;  // 1608

void put16(std::vector<uint8_t>& out, int value) {
  out.push_back(static_cast<uint8_t>(value & 255));
  out.push_back(static_cast<uint8_t>((value >> 8) & 255));
}

void put32(std::vector<uint8_t>& out, int value) {
  put16(out, value & 0xFFFF);
  put16(out, (value >> 16) & 0xFFFF);
}

int rounded(double value) { return static_cast<int>(std::lround(value)); }

std::vector<uint8_t> sphere_model() {
  const double degree = M_PI / 180.0;
  std::vector<uint8_t> out;
  put16(out, vertex_count);
  put32(out, vertex_offset);
  put16(out, face_count);
  put32(out, face_offset);
  // Vertex 0 is the top pole (screen y grows downwards), then the rings, then the bottom pole.
  const auto vertex = [&](double x, double y, double z) {
    put16(out, rounded(x));
    put16(out, rounded(y));
    put16(out, rounded(z));
  };
  vertex(0, -radius, 0);
  for (int r = 1; r <= rings; ++r) {
    const double polar = 15.0 * r * degree;
    for (int s = 0; s < segments; ++s) {
      const double azimuth = (first_azimuth + 15.0 * s) * degree;
      const double ring_radius = radius * std::sin(polar);
      vertex(ring_radius * std::cos(azimuth), -radius * std::cos(polar), ring_radius * std::sin(azimuth));
    }
  }
  vertex(0, radius, 0);

  const auto face = [&](int a, int b, int c) {
    put16(out, a);
    put16(out, b);
    put16(out, c);
  };
  for (int k = 1; k < segments; ++k) face(0, k, k + 1);
  face(0, segments, 1);
  for (int r = 0; r < rings - 1; ++r) {
    for (int s = 0; s < segments; ++s) {
      const int p = 1 + segments * r + s;
      const int q = p + segments;
      const int p_next = 1 + segments * r + (s + 1) % segments;
      const int q_next = p_next + segments;
      face(p, q, q_next);
      face(p, q_next, p_next);
    }
  }
  const int bottom = vertex_count - 1;
  const int last_ring = 1 + segments * (rings - 1);
  for (int k = bottom - 1; k > last_ring; --k) face(bottom, k, k - 1);
  face(bottom, last_ring, bottom - 1);
  return out;
}

// Black, a nearly straight rise to a cool sea blue, then a steeper climb to white, eased in so
// that the highlights bloom.
std::vector<uint8_t> sphere_palette() {
  return datagen::sea_palette([](int i, int k) {
    const double x = (i - datagen::sea_top) / 47.0;
    return datagen::sea_blue[k] + (63 - datagen::sea_blue[k]) * (0.85 * x + 0.15 * x * x);
  });
}

}  // namespace

int main(int argc, char** argv) {
  if (!datagen::arguments_fit(argc, 2, "make-sphere-data OUT.cpp")) return 2;
  const std::string body = datagen::source_array("const uint8_t sphere_model[sphere_model_size]", sphere_model()) +
                           datagen::source_array("const uint8_t sphere_palette[768]", sphere_palette());
  return datagen::write_source(argv[1], "tools/datagen/sphere/make_sphere_data.cpp", {"scenes/sphere/sphere.h"}, body)
             ? 0
             : 1;
}
