// Scene 3: the last picture redrawn as a turning, drifting, slightly enlarged quad.
#include "scenes/feedback/feedback.h"

#include <array>
#include <cstring>

#include "scenes/common/fixed3d.h"
#include "scenes/common/fx.h"

namespace {

constexpr int32_t copy_width = 256;
constexpr int32_t copy_first_column = 32;

// Columns 32..287 of the picture as it was at the start of the pass: the quad's texture.
uint8_t feedback_copy[screen_height * copy_width];

// A 280x220 rectangle about the origin, drawn as two triangles over the copy's corners.
constexpr int32_t feedback_corners[4][2] = {{-140, -110}, {-140, 110}, {140, -110}, {140, 110}};
constexpr int32_t feedback_triangles[2][3] = {{0, 1, 2}, {1, 2, 3}};
constexpr int32_t feedback_uv[2][3][2] = {{{0, 0}, {0, 199}, {255, 0}}, {{0, 199}, {255, 0}, {255, 199}}};

constexpr std::array<uint8_t, smooth_divide_size> feedback_divide = [] {
  std::array<uint8_t, smooth_divide_size> table{};
  for (int32_t s = 0; s < smooth_divide_size; ++s) table[s] = static_cast<uint8_t>(s / 5);
  return table;
}();

int32_t feedback_angle = 0;
int32_t feedback_swing = 0;
int32_t feedback_shift_x = 40;
int32_t feedback_shift_y = -30;
int32_t swing_phase = 256;
int32_t shift_x_phase = 0;
int32_t shift_y_phase = 40;

void place_corners(Vec2 screen_corners[4]) {
  for (int32_t c = 0; c < 4; ++c) {
    const Vec2 turned = fx_rotate_2d({feedback_corners[c][0], feedback_corners[c][1]},
                                     static_cast<uint32_t>(feedback_angle));
    screen_corners[c] = {turned.x + screen_centre.x + feedback_shift_x, turned.y + screen_centre.y + feedback_shift_y};
  }
}

void draw_quad(uint8_t* frame, const Vec2 screen_corners[4]) {
  for (int32_t n = 0; n < 2; ++n) {
    const int32_t* corner = feedback_triangles[n];
    const int32_t(*uv)[2] = feedback_uv[n];
    // The record's words as they lie: three corners, the four unread words, three texels.
    // clang-format off
    const mapped_triangle triangle{
        screen_corners[corner[0]].x, screen_corners[corner[0]].y,
        screen_corners[corner[1]].x, screen_corners[corner[1]].y,
        screen_corners[corner[2]].x, screen_corners[corner[2]].y,
        {0, 0, 0, 0},
        uv[0][0], uv[0][1], uv[1][0], uv[1][1], uv[2][0], uv[2][1],
        feedback_copy};
    // clang-format on
    draw_mapped_triangle(triangle, frame);
  }
}

}  // namespace

void feedback_init() {}

void feedback_draw(uint8_t* frame) {
  fx_frame = frame;
  // No palette request: the swirl's palette stays.
  if (scene_first_frame == 0) scene_first_frame = 1;
  for (int32_t y = 0; y < screen_height; ++y) {
    std::memcpy(feedback_copy + y * copy_width, frame + y * screen_width + copy_first_column, copy_width);
  }
  Vec2 screen_corners[4];
  place_corners(screen_corners);
  draw_quad(frame, screen_corners);
  fx_clear_row(frame, 0, 0, screen_width);
  fx_clear_row(frame, screen_height - 1, 0, screen_width);
  // The division's rounding down is the only fade.
  fx_smooth(frame, feedback_divide.data());
}

void feedback_update(double) {
  for (uint32_t n = 0; n < tick_count; ++n) {
    // The turn uses the swing of the tick before: the first tick always turns by +1.
    feedback_angle = (feedback_angle + ((feedback_swing >> 8) | 1)) & 1023;
    feedback_swing = fx_sin(static_cast<uint32_t>(swing_phase)) >> 3;
    feedback_shift_x = fx_sin(static_cast<uint32_t>(shift_x_phase)) >> 4;
    feedback_shift_y = fx_sin(static_cast<uint32_t>(shift_y_phase)) >> 4;
    swing_phase = (swing_phase + 3) & 1023;
    shift_x_phase = (shift_x_phase + 2) & 1023;
    shift_y_phase = (shift_y_phase + 3) & 1023;
  }
  tick_count = 0;
}

FeedbackProbe feedback_probe() {
  FeedbackProbe probe = {feedback_angle, feedback_swing, feedback_shift_x, feedback_shift_y,
                         swing_phase,    shift_x_phase,  shift_y_phase,    {}};
  place_corners(probe.corners);
  return probe;
}

void feedback_reset() {
  feedback_angle = 0;
  feedback_swing = 0;
  feedback_shift_x = 40;
  feedback_shift_y = -30;
  swing_phase = 256;
  shift_x_phase = 0;
  shift_y_phase = 40;
}
