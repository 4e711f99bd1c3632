// Scene 1: flight through a depth-shaded 8x8x8 line lattice over grain, face flashes on beats.
#pragma once
#include <cstdint>

#include "scenes/common/fixed3d.h"

void lattice_init();
void lattice_draw(uint8_t* frame);
void lattice_update(double ticks);
void on_direction_toggle();

extern const uint8_t lattice_palette[768];

constexpr int32_t lattice_point_count = 512;
constexpr int32_t lattice_edge_count = 1344;

struct LatticeEdge {
  int32_t first;
  int32_t second;
};

// Projection with focal distance 256 about (160, 100); points at z <= 0 land on the centre.
Vec2 project_point(Vec3 p);

// ORs colour into the pixels of the line from a towards b (b itself excluded), clipped to the
// 320x200 frame.
void draw_line_or(uint8_t* frame, Vec2 a, Vec2 b, uint8_t colour);

// Clips the view-space edge at the near plane, projects it and draws it shaded by depth.
void lattice_draw_edge(uint8_t* frame, Vec3 p1, Vec3 p2);

// A read-only look at the scene's state, for tests.
struct LatticeProbe {
  const Vec3* points;
  const Vec3* view;
  const LatticeEdge* edges;
  uint32_t spin;
  uint32_t turn;
  uint32_t drift_x;
  uint32_t drift_z;
  uint8_t reverse;
  int32_t grain_index;
  uint16_t grain_phase;
};
LatticeProbe lattice_probe();
