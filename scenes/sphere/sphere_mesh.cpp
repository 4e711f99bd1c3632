// Start-up tables of the sphere: shade table, model, texture coordinates and normals.
#include <cmath>
#include <cstdlib>

#include "scenes/sphere/sphere.h"
#include "scenes/sphere/sphere_mesh.h"

uint8_t sphere_shade_table[64 * 256];
int32_t sphere_vertex_count = 0;
int32_t sphere_face_count = 0;
Vec3 sphere_vertices[sphere_max_vertices];
int32_t sphere_faces[sphere_max_faces][3];
int32_t sphere_uv[sphere_max_vertices][2];
Vec3 sphere_face_normals[sphere_max_faces];
Vec3 sphere_vertex_normals[sphere_max_vertices];

namespace {

constexpr int32_t ring_count = 11;
constexpr int32_t ring_segments = 24;
constexpr int32_t u_step = 1398101;  // 256 / 12 in 16.16, truncated
constexpr int32_t v_step = 1290555;  // 256 / 13 in 16.16, truncated

uint32_t read_u16(const uint8_t* p) { return p[0] | p[1] << 8; }
uint32_t read_u32(const uint8_t* p) { return read_u16(p) | read_u16(p + 2) << 16; }
int32_t read_i16(const uint8_t* p) { return static_cast<int16_t>(read_u16(p)); }

int32_t nearest(double value) { return static_cast<int32_t>(std::lrint(value)); }

}  // namespace

void build_shade_table() {
  for (int32_t level = 0; level < 64; ++level) {
    for (int32_t n = 0; n < 256; ++n) {
      int32_t dark[3];
      for (int32_t k = 0; k < 3; ++k) dark[k] = sphere_palette[n * 3 + k] * level / 64;
      // The lowest index at the smallest distance wins; an exact match ends the search.
      int32_t best = 0;
      int32_t best_distance = 1 << 30;
      for (int32_t i = 0; i < 256; ++i) {
        const uint8_t* c = sphere_palette + i * 3;
        const int32_t distance = std::abs(c[0] - dark[0]) + std::abs(c[1] - dark[1]) + std::abs(c[2] - dark[2]);
        if (distance < best_distance) {
          best = i;
          best_distance = distance;
          if (distance == 0) break;
        }
      }
      sphere_shade_table[level * 256 + n] = static_cast<uint8_t>(best);
    }
  }
}

void load_sphere_model() {
  const uint32_t vertex_count = read_u16(sphere_model);
  const uint32_t vertex_offset = read_u32(sphere_model + 2);
  const uint32_t face_count = read_u16(sphere_model + 6);
  const uint32_t face_offset = read_u32(sphere_model + 8);
  // The model is ours and fits; the bounds only guard the fixed arrays.
  sphere_vertex_count = 0;
  sphere_face_count = 0;
  if (vertex_count > sphere_max_vertices || face_count > sphere_max_faces ||
      vertex_offset + vertex_count * 6 > sphere_model_size || face_offset + face_count * 6 > sphere_model_size)
    return;
  for (uint32_t i = 0; i < vertex_count; ++i) {
    const uint8_t* p = sphere_model + vertex_offset + i * 6;
    sphere_vertices[i] = Vec3{read_i16(p), read_i16(p + 2), read_i16(p + 4)};
  }
  for (uint32_t f = 0; f < face_count; ++f) {
    const uint8_t* p = sphere_model + face_offset + f * 6;
    for (int32_t k = 0; k < 3; ++k) {
      const uint32_t index = read_u16(p + 2 * k);
      if (index >= vertex_count) return;
      sphere_faces[f][k] = static_cast<int32_t>(index);
    }
  }
  sphere_vertex_count = static_cast<int32_t>(vertex_count);
  sphere_face_count = static_cast<int32_t>(face_count);
}

void build_sphere_uv() {
  // Along a ring u climbs to 234 and comes back, so the texture is mirrored round the sphere.
  sphere_uv[0][0] = 0;
  sphere_uv[0][1] = 0;
  for (int32_t r = 1; r <= ring_count; ++r) {
    for (int32_t s = 0; s < ring_segments; ++s) {
      const int32_t k = s < 12 ? s : 22 - s;
      int32_t* uv = sphere_uv[1 + ring_segments * (r - 1) + s];
      uv[0] = (k * u_step) >> 16;
      uv[1] = (r * v_step) >> 16;
    }
  }
  const int32_t bottom = 1 + ring_segments * ring_count;
  sphere_uv[bottom][0] = 0;
  sphere_uv[bottom][1] = 256;
}

void compute_sphere_normals() {
  for (int32_t f = 0; f < sphere_face_count; ++f) {
    const Vec3& p0 = sphere_vertices[sphere_faces[f][0]];
    const Vec3& p1 = sphere_vertices[sphere_faces[f][1]];
    const Vec3& p2 = sphere_vertices[sphere_faces[f][2]];
    // (P0 - P2) x (P0 - P1): points into the sphere for this winding.
    const int32_t nx = (p0.y - p2.y) * (p0.z - p1.z) - (p0.z - p2.z) * (p0.y - p1.y);
    const int32_t ny = (p0.z - p2.z) * (p0.x - p1.x) - (p0.x - p2.x) * (p0.z - p1.z);
    const int32_t nz = (p0.x - p2.x) * (p0.y - p1.y) - (p0.y - p2.y) * (p0.x - p1.x);
    const int64_t squares = int64_t{nx} * nx + int64_t{ny} * ny + int64_t{nz} * nz;
    const float length = static_cast<float>(std::sqrt(static_cast<double>(squares)));
    Vec3& n = sphere_face_normals[f];
    if (length == 0.0f) {
      n = Vec3{0, 0, 0};
      continue;
    }
    n.x = nearest(256.0 * nx / length);
    n.y = nearest(256.0 * ny / length);
    n.z = nearest(256.0 * nz / length);
  }
  for (int32_t v = 0; v < sphere_vertex_count; ++v) {
    int32_t sum[3] = {0, 0, 0};
    int32_t count = 0;
    for (int32_t f = 0; f < sphere_face_count; ++f) {
      for (int32_t k = 0; k < 3; ++k) {
        if (sphere_faces[f][k] != v) continue;
        sum[0] += sphere_face_normals[f].x;
        sum[1] += sphere_face_normals[f].y;
        sum[2] += sphere_face_normals[f].z;
        ++count;
      }
    }
    Vec3& n = sphere_vertex_normals[v];
    n = Vec3{0, 0, 0};
    if (count == 0) continue;
    const float average[3] = {static_cast<float>(sum[0]) / static_cast<float>(count),
                              static_cast<float>(sum[1]) / static_cast<float>(count),
                              static_cast<float>(sum[2]) / static_cast<float>(count)};
    const float length = std::sqrt(average[0] * average[0] + average[1] * average[1] + average[2] * average[2]);
    if (length == 0.0f) continue;
    n.x = nearest(256.0 * average[0] / length);
    n.y = nearest(256.0 * average[1] / length);
    n.z = nearest(256.0 * average[2] / length);
  }
}
