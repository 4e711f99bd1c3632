// Scene 3: the previous picture redrawn as a turning, drifting, slightly enlarged quad.
#pragma once
#include <cstdint>

#include "scenes/common/fixed3d.h"

void feedback_init();
void feedback_draw(uint8_t* frame);
void feedback_update(double ticks);

// Affine texture-mapped triangle; texture rows are 256 bytes.
struct mapped_triangle {
  int32_t x0, y0, x1, y1, x2, y2;
  int32_t reserved[4];  // the record's fixed layout keeps four words here that the filler skips
  int32_t u0, v0, u1, v1, u2, v2;
  const uint8_t* texture;
};

// The filler's texture is 256 columns by this many rows; texel reads are clamped to it.
constexpr int32_t mapped_texture_rows = 200;
// Inputs the filler accepts: every x, y, u and v within this range (16-bit). A triangle with any
// value outside it is not drawn, so no intermediate value can overflow.
constexpr int32_t mapped_coordinate_min = -32768;
constexpr int32_t mapped_coordinate_max = 32767;

// Draws into the 320x200 destination. Column 319 and the bottom vertex's row are never written.
void draw_mapped_triangle(const mapped_triangle& triangle, uint8_t* destination);

// A look at the motion state and the quad's screen corners it gives, for tests; and the return
// to the start values.
struct FeedbackProbe {
  int32_t angle, swing, shift_x, shift_y;
  int32_t swing_phase, shift_x_phase, shift_y_phase;
  Vec2 corners[4];
};
FeedbackProbe feedback_probe();
void feedback_reset();
