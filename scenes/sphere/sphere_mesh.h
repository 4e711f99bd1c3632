#pragma once
// The sphere's working arrays and the steps of its pipeline, from start-up tables to one pass.
#include <cstdint>

#include "scenes/common/fx.h"

constexpr int32_t sphere_max_vertices = 400;
constexpr int32_t sphere_max_faces = 750;
constexpr int32_t sphere_key_capacity = 1000;

struct SphereVec {
  int32_t x, y, z;
};
struct ScreenPoint {
  int32_t x, y;
};
// Rotation in units of 1/512, row i giving view coordinate i.
struct SphereMatrix {
  int32_t m[3][3];
};

// Built at start-up by sphere_init.
extern int32_t sphere_vertex_count;
extern int32_t sphere_face_count;
extern SphereVec sphere_vertices[sphere_max_vertices];
extern int32_t sphere_faces[sphere_max_faces][3];
extern int32_t sphere_uv[sphere_max_vertices][2];  // texels, used modulo 256
extern SphereVec sphere_face_normals[sphere_max_faces];
extern SphereVec sphere_vertex_normals[sphere_max_vertices];
extern uint8_t sphere_blur_div[smooth_divide_size];

void build_shade_table();
void load_sphere_model();
void build_sphere_uv();
void compute_sphere_normals();

// One pass, in this order, reading sphere_motion and drawing into fx_frame.
void transform_sphere();
void sphere_project();
void mark_front_faces();
void shade_vertices();
void build_depth_keys();
void sort_depth_keys();
void draw_sorted_faces();
void draw_sphere_mesh();  // all seven steps

// The arithmetic of those steps, on single values.
SphereMatrix sphere_matrix(int32_t tilt, int32_t turn, int32_t roll);
SphereVec rotate_vector(const SphereMatrix& matrix, const SphereVec& p);
ScreenPoint project_vertex(const SphereVec& view);
bool is_front_face(const ScreenPoint& p0, const ScreenPoint& p1, const ScreenPoint& p2);
int32_t vertex_light(const SphereVec& normal, int32_t light_x, int32_t light_y);
// Stable sort on bits 16..31, largest first (depth_sort, through spare); the result ends in keys.
void radix_sort_keys(uint32_t* keys, uint32_t* spare, int32_t count);

// Results of the latest pass, for inspection.
extern SphereVec sphere_view[sphere_max_vertices];
extern ScreenPoint sphere_screen[sphere_max_vertices];
extern uint8_t sphere_front[sphere_max_faces];
extern int32_t sphere_light[sphere_max_vertices];
extern uint32_t sphere_keys[sphere_key_capacity];
