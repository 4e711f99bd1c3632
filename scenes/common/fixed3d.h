#pragma once
// The scenes' integer geometry: points, the 3x3 rotation in units of 1/512, and the perspective
// onto the 320x200 screen.
#include <cstdint>

struct Vec2 {
  int32_t x, y;
  friend bool operator==(Vec2, Vec2) = default;
};
struct Vec3 {
  int32_t x, y, z;
  friend bool operator==(Vec3, Vec3) = default;
};
// Row i gives view coordinate i; 512 = 1.0.
struct Matrix3 {
  int32_t m[3][3];
};
