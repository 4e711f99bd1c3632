// The sphere's working arrays and the steps of its pipeline, from start-up tables to one pass.
#pragma once
#include <cstdint>

#include "scenes/common/fixed3d.h"
#include "scenes/common/fx.h"

constexpr int32_t sphere_max_vertices = 400;
constexpr int32_t sphere_max_faces = 750;
constexpr int32_t sphere_key_capacity = 1000;

// Built at start-up by sphere_init.
extern int32_t sphere_vertex_count;
extern int32_t sphere_face_count;
extern Vec3 sphere_vertices[sphere_max_vertices];
extern int32_t sphere_faces[sphere_max_faces][3];
extern int32_t sphere_uv[sphere_max_vertices][2];  // texels, used modulo 256
extern Vec3 sphere_face_normals[sphere_max_faces];
extern Vec3 sphere_vertex_normals[sphere_max_vertices];
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
bool sphere_is_front_face(const Vec2& p0, const Vec2& p1, const Vec2& p2);
int32_t sphere_vertex_light(const Vec3& normal, int32_t light_x, int32_t light_y);

// Results of the latest pass, for inspection.
extern Vec3 sphere_view[sphere_max_vertices];
extern Vec2 sphere_screen[sphere_max_vertices];
extern uint8_t sphere_front[sphere_max_faces];
extern int32_t sphere_light[sphere_max_vertices];
extern uint32_t sphere_keys[sphere_key_capacity];
