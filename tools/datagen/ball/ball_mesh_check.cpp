// Packing of the ball mesh into its stored form and the checks it must pass before it is stored.
#include <cstdint>
#include <map>
#include <utility>

#include "tools/datagen/ball/ball_data_gen.h"

namespace datagen {

namespace {
void put16(std::vector<uint8_t>* out, uint32_t v) {
  out->push_back(static_cast<uint8_t>(v));
  out->push_back(static_cast<uint8_t>(v >> 8));
}
void put32(std::vector<uint8_t>* out, uint32_t v) {
  put16(out, v & 0xffff);
  put16(out, v >> 16);
}
}  // namespace

std::vector<uint8_t> pack_ball_mesh(const BallMesh& mesh) {
  const uint32_t vertex_offset = 12;
  const uint32_t face_offset = vertex_offset + 6 * static_cast<uint32_t>(mesh.vertices.size());
  std::vector<uint8_t> out;
  put16(&out, static_cast<uint32_t>(mesh.vertices.size()));
  put32(&out, vertex_offset);
  put16(&out, static_cast<uint32_t>(mesh.faces.size()));
  put32(&out, face_offset);
  for (const auto& v : mesh.vertices)
    for (int16_t c : v) put16(&out, static_cast<uint16_t>(c));
  for (const auto& f : mesh.faces)
    for (uint16_t i : f) put16(&out, i);
  return out;
}

std::string check_ball_mesh(const BallMesh& mesh) {
  if (mesh.vertices.size() != ball_vertex_count) return "vertex count " + std::to_string(mesh.vertices.size());
  if (mesh.faces.size() != ball_face_count) return "face count " + std::to_string(mesh.faces.size());
  for (const auto& v : mesh.vertices)
    for (int16_t c : v)
      if (c < -238 || c > 236) return "coordinate " + std::to_string(c) + " out of range";
  // Closed and consistently wound: every directed edge once, its opposite once.
  std::map<std::pair<int, int>, int> edges;
  for (const auto& f : mesh.faces) {
    for (int e = 0; e < 3; ++e) {
      if (f[e] >= mesh.vertices.size()) return "face index out of range";
      if (++edges[{f[e], f[(e + 1) % 3]}] != 1) return "directed edge used twice";
    }
  }
  for (const auto& [edge, count] : edges)
    if (!edges.count({edge.second, edge.first})) return "open edge";
  int64_t volume6 = 0;  // six times the signed volume
  for (const auto& f : mesh.faces) {
    const auto& p = mesh.vertices[f[0]];
    const auto& q = mesh.vertices[f[1]];
    const auto& r = mesh.vertices[f[2]];
    int64_t n[3];  // (Q - P) x (R - P), the outward normal for this winding
    for (int i = 0; i < 3; ++i) {
      const int j = (i + 1) % 3, k = (i + 2) % 3;
      n[i] = int64_t{q[j] - p[j]} * (r[k] - p[k]) - int64_t{q[k] - p[k]} * (r[j] - p[j]);
    }
    const int64_t length2 = n[0] * n[0] + n[1] * n[1] + n[2] * n[2];
    if (length2 == 0) return "face of zero area";
    if (length2 > INT32_MAX) return "face too large for a 32-bit normal length";
    volume6 += int64_t{p[0]} * (int64_t{q[1]} * r[2] - int64_t{q[2]} * r[1]) +
               int64_t{p[1]} * (int64_t{q[2]} * r[0] - int64_t{q[0]} * r[2]) +
               int64_t{p[2]} * (int64_t{q[0]} * r[1] - int64_t{q[1]} * r[0]);
  }
  if (volume6 <= 0) return "winding is not outward";
  return "";
}

}  // namespace datagen
