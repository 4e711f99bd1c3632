// Builders of the spiked ball's data: the mesh (a ball with twelve arrow-tipped spikes) and its
// black-green-teal-white palette. Deterministic: the same bytes on every run.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace datagen {

struct BallMesh {
  std::vector<std::array<int16_t, 3>> vertices;
  std::vector<std::array<uint16_t, 3>> faces;  // counter-clockwise seen from outside
};

constexpr int ball_vertex_count = 478;
constexpr int ball_face_count = 952;
constexpr int ball_mesh_bytes = 12 + 6 * ball_vertex_count + 6 * ball_face_count;

// Builds the mesh; on failure returns false and says why in *error.
bool build_ball_mesh(BallMesh* mesh, std::string* error);

// The stored form: little-endian header (vertex count, vertex offset 12, face count, face
// offset), then x, y, z per vertex as signed 16-bit and P, Q, R per face as unsigned 16-bit.
std::vector<uint8_t> pack_ball_mesh(const BallMesh& mesh);

// Checks that make a mesh fit to store; empty when all hold, else the first failure.
std::string check_ball_mesh(const BallMesh& mesh);

// 256 entries of red, green, blue (0..63) through the palette's fixed anchors.
bool build_ball_palette(uint8_t palette[768], std::string* error);

}  // namespace datagen
