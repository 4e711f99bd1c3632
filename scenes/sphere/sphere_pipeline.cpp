// One pass of the sphere: rotate and pulsate, project, cull, light, depth-sort and fill.
#include "scenes/common/depth_sort.h"
#include "scenes/common/fx.h"
#include "scenes/sphere/shaded_triangle.h"
#include "scenes/sphere/sphere.h"
#include "scenes/sphere/sphere_mesh.h"
#include "scenes/swirl/swirl.h"

Vec3 sphere_view[sphere_max_vertices];
Vec2 sphere_screen[sphere_max_vertices];
uint8_t sphere_front[sphere_max_faces];
int32_t sphere_light[sphere_max_vertices];
uint32_t sphere_keys[sphere_key_capacity];

namespace {

constexpr int32_t drift_z = 300;
constexpr int32_t light_z = 255;

Vec3 rotated_normals[sphere_max_vertices];
uint32_t spare_keys[sphere_key_capacity];

}  // namespace

bool sphere_is_front_face(const Vec2& p0, const Vec2& p1, const Vec2& p2) {
  return int64_t{p0.x - p1.x} * (p0.y - p2.y) > int64_t{p0.y - p1.y} * (p0.x - p2.x);
}

int32_t sphere_vertex_light(const Vec3& normal, int32_t light_x, int32_t light_y) {
  int32_t intensity = normal.x * light_x + normal.y * light_y + normal.z * light_z;
  if (intensity < 0) intensity = 0;
  if (intensity > 65535) intensity = 65535;
  return intensity >> 10;
}

void transform_sphere() {
  const SphereMotion& s = sphere_motion;
  const Matrix3 m = fx_matrix(s.tilt_angle, s.turn_angle, s.roll_angle);
  for (int32_t k = 0; k < sphere_vertex_count; ++k) {
    const Vec3 r = fx_rotate(m, sphere_vertices[k]);
    // Each vertex pulses with its own phase of the wave: f runs 128..160, scale f / 128.
    const int32_t f = ((fx_sin(static_cast<uint32_t>(s.wobble_phase + 8 * k)) + 512) >> 5) + 128;
    sphere_view[k] = Vec3{((r.x * f) >> 7) + s.drift_x, ((r.y * f) >> 7) + s.drift_y, ((r.z * f) >> 7) + drift_z};
    rotated_normals[k] = fx_rotate(m, sphere_vertex_normals[k]);
  }
}

void sphere_project() {
  for (int32_t k = 0; k < sphere_vertex_count; ++k) {
    sphere_screen[k] = fx_project(sphere_view[k], screen_centre);
  }
}

void mark_front_faces() {
  for (int32_t f = 0; f < sphere_face_count; ++f) {
    const int32_t* face = sphere_faces[f];
    sphere_front[f] = sphere_is_front_face(sphere_screen[face[0]], sphere_screen[face[1]], sphere_screen[face[2]]);
  }
}

void shade_vertices() {
  for (int32_t k = 0; k < sphere_vertex_count; ++k) {
    sphere_light[k] = sphere_vertex_light(rotated_normals[k], sphere_motion.light_x, sphere_motion.light_y);
  }
}

void build_depth_keys() {
  for (int32_t f = 0; f < sphere_face_count; ++f) {
    const int32_t* face = sphere_faces[f];
    const int32_t depth = sphere_view[face[0]].z + sphere_view[face[1]].z + sphere_view[face[2]].z;
    sphere_keys[f] = (static_cast<uint32_t>(depth) & 0xFFFF) << 16 | static_cast<uint32_t>(f);
  }
}

void sort_depth_keys() { depth_sort(sphere_keys, spare_keys, sphere_face_count); }

void draw_sorted_faces() {
  for (int32_t i = 0; i < sphere_face_count; ++i) {
    const int32_t f = static_cast<int32_t>(sphere_keys[i] & 0xFFFF);
    if (!sphere_front[f]) continue;
    ShadedVertex corner[3];
    for (int32_t k = 0; k < 3; ++k) {
      const int32_t v = sphere_faces[f][k];
      corner[k] = ShadedVertex{sphere_screen[v].x, sphere_screen[v].y, sphere_light[v], sphere_uv[v][0],
                               sphere_uv[v][1]};
    }
    draw_shaded_triangle(fx_frame, corner[0], corner[1], corner[2], texture_map, sphere_shade_table);
  }
}

void draw_sphere_mesh() {
  transform_sphere();
  sphere_project();
  mark_front_faces();
  shade_vertices();
  build_depth_keys();
  sort_depth_keys();
  draw_sorted_faces();
}
