// The title picture: a chrome TARNWICK over a striped sun setting behind two mountain ranges,
// a neon grid running to the horizon, stars, and the group's name in neon above.
//
// Coordinates: x in pixels, Y = 1.2 * y in "display units", so that shapes drawn round in
// (x, Y) stay round on the 4:3 screen, where the 320x200 pixels are 1.2 times as tall as wide.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "tools/datagen/splash/picture.h"
#include "tools/datagen/splash/stroke_font.h"

namespace splash {

namespace {

constexpr double aspect = 1.2;
constexpr double horizon = 150.0;  // display units (pixel row 125)
constexpr double sun_x = 160.0;
constexpr double sun_radius = 68.0;

Rgb mix(Rgb a, Rgb b, double t) { return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t}; }
Rgb add(Rgb a, Rgb b, double k) { return {a.r + b.r * k, a.g + b.g * k, a.b + b.b * k}; }
Rgb scale(Rgb a, double k) { return {a.r * k, a.g * k, a.b * k}; }

double smoothstep(double e0, double e1, double x) {
  const double t = std::clamp((x - e0) / (e1 - e0), 0.0, 1.0);
  return t * t * (3.0 - 2.0 * t);
}

struct Stop {
  double at;
  Rgb colour;
};

template <size_t N>
Rgb gradient(const Stop (&stops)[N], double x) {
  if (x <= stops[0].at) return stops[0].colour;
  for (size_t i = 1; i < N; ++i)
    if (x <= stops[i].at)
      return mix(stops[i - 1].colour, stops[i].colour, (x - stops[i - 1].at) / (stops[i].at - stops[i - 1].at));
  return stops[N - 1].colour;
}

// ---- sky, sun and mountains ----

Rgb sky(double Y) {
  static const Stop stops[] = {{0, {0.015, 0.01, 0.07}},
                               {55, {0.07, 0.03, 0.20}},
                               {105, {0.30, 0.05, 0.36}},
                               {135, {0.75, 0.18, 0.40}},
                               {150, {1.00, 0.48, 0.32}}};
  return gradient(stops, Y);
}

// Deterministic stars: a fixed pseudo-random field, fainter towards the horizon, kept in
// cells of 8 units so that a point looks only at the stars near it.
struct Star {
  double x, Y, brightness;
};

constexpr int star_cell = 8;
constexpr int star_columns = 320 / star_cell;
constexpr int star_rows = 144 / star_cell;

const std::vector<std::vector<Star>>& star_cells() {
  static const std::vector<std::vector<Star>> cells = [] {
    std::vector<std::vector<Star>> c(star_columns * star_rows);
    uint32_t seed = 0x5117C4u;
    auto next = [&seed] {
      seed = seed * 1664525u + 1013904223u;
      return (seed >> 8) / 16777216.0;
    };
    for (int i = 0; i < 220; ++i) {
      const double x = next() * 319.0, Y = next() * 140.0, b = next();
      c[static_cast<int>(Y / star_cell) * star_columns + static_cast<int>(x / star_cell)].push_back(
          {x, Y, 0.25 + 0.75 * b * b * b});
    }
    return c;
  }();
  return cells;
}

double star_light(double x, double Y) {
  double light = 0.0;
  const int cx = static_cast<int>(x / star_cell), cy = static_cast<int>(Y / star_cell);
  for (int j = std::max(0, cy - 1); j <= std::min(star_rows - 1, cy + 1); ++j) {
    for (int i = std::max(0, cx - 1); i <= std::min(star_columns - 1, cx + 1); ++i) {
      for (const Star& s : star_cells()[j * star_columns + i]) {
        const double dx = x - s.x, dy = (Y - s.Y) / aspect;
        const double d2 = dx * dx + dy * dy;
        light += s.brightness * std::exp(-d2 / 0.18);
        if (s.brightness > 0.8) {  // the brightest get a small cross
          light += 0.35 * s.brightness *
                   (std::exp(-std::abs(dx) / 1.1 - dy * dy / 0.05) + std::exp(-std::abs(dy) / 1.1 - dx * dx / 0.05));
        }
      }
    }
  }
  return light * (1.0 - smoothstep(70.0, 140.0, Y));
}

// Height of a mountain ridge (display units above the horizon) at x.
double ridge(double x, double phase, double height) {
  const double h = 0.5 + 0.22 * std::sin(x * 0.019 + phase) + 0.14 * std::sin(x * 0.051 + 2.0 * phase) +
                   0.08 * std::sin(x * 0.13 + 3.3 * phase) + 0.04 * std::sin(x * 0.29 + phase);
  // Lower in the middle so the sun stays clear.
  const double valley = 0.35 + 0.65 * smoothstep(10.0, 120.0, std::abs(x - sun_x));
  return height * h * valley;
}

Rgb sun_disc(double x, double Y, Rgb behind) {
  const double dx = x - sun_x, dy = Y - horizon;
  const double r = std::sqrt(dx * dx + dy * dy);
  // Halo around the disc.
  Rgb out = add(behind, {1.0, 0.32, 0.42}, 0.55 * std::exp(-std::max(0.0, r - sun_radius) / 22.0));
  if (r > sun_radius + 0.5) return out;
  static const Stop body[] = {{0.0, {1.0, 0.97, 0.62}}, {0.45, {1.0, 0.70, 0.28}}, {1.0, {1.0, 0.18, 0.52}}};
  const double t = (Y - (horizon - sun_radius)) / sun_radius;
  Rgb disc = gradient(body, t);
  // Horizontal cuts in the lower half, wider towards the horizon.
  const double cut_start = 0.46;
  if (t > cut_start) {
    const double u = (t - cut_start) / (1.0 - cut_start);  // 0..1
    const double bands = 7.0;
    const double f = u * bands - std::floor(u * bands);
    const double gap = 0.12 + 0.45 * u;
    if (f < gap) disc = out;
  }
  const double edge = std::clamp(sun_radius + 0.5 - r, 0.0, 1.0);
  return mix(out, disc, edge);
}

Rgb mountains(double x, double Y, Rgb behind) {
  const double back = horizon - ridge(x, 0.7, 34.0);
  const double front = horizon - ridge(x + 400.0, 2.1, 22.0) + 3.0;
  Rgb out = behind;
  if (Y > back) {
    const double depth = smoothstep(back, horizon, Y);
    Rgb rock = mix({0.30, 0.07, 0.34}, {0.42, 0.10, 0.38}, depth);
    rock = add(rock, {1.0, 0.45, 0.55}, 0.55 * std::exp(-(Y - back) / 1.2));  // rim lit by the sun
    out = mix(out, rock, std::clamp(Y - back, 0.0, 1.0));
  }
  if (Y > front) {
    Rgb rock = mix({0.10, 0.02, 0.16}, {0.16, 0.03, 0.22}, smoothstep(front, horizon, Y));
    rock = add(rock, {1.0, 0.35, 0.7}, 0.6 * std::exp(-(Y - front) / 1.0));
    out = mix(out, rock, std::clamp(Y - front, 0.0, 1.0));
  }
  return out;
}

// ---- the ground ----

Rgb ground(double x, double Y) {
  const double depth = Y - horizon;  // > 0
  static const Stop base[] = {{0, {0.35, 0.06, 0.32}}, {6, {0.12, 0.02, 0.18}}, {90, {0.03, 0.0, 0.07}}};
  Rgb out = gradient(base, depth);
  // The sun mirrored in the ground as a soft rippled streak.
  const double streak = std::exp(-std::pow((x - sun_x) / (sun_radius * 0.55), 2.0)) * std::exp(-depth / 28.0);
  const double ripple = 0.6 + 0.4 * std::sin(depth * depth * 0.09);
  out = add(out, {1.0, 0.35, 0.45}, 0.45 * streak * ripple);

  // Perspective grid: rows of constant depth z = k / depth, columns through the vanishing point.
  constexpr double k = 520.0;
  const double z = k / depth;
  const double row_phase = z / 6.0;
  const double row_distance = std::abs(row_phase - std::round(row_phase)) * 6.0 * depth * depth /
                              k;  // in display units
  const double u = (x - sun_x) / depth;
  const double column_spacing = 0.55;
  const double column_distance = std::abs(u / column_spacing - std::round(u / column_spacing)) * column_spacing * depth;
  const double width = 0.55;
  const double line = std::max(std::exp(-std::pow(row_distance / aspect / width, 2.0)),
                               std::exp(-std::pow(column_distance / width, 2.0)));
  const double glow = std::max(std::exp(-row_distance / aspect / 2.2), std::exp(-column_distance / 2.2));
  const double fog = smoothstep(0.0, 26.0, depth);
  const Rgb neon = mix({1.0, 0.55, 0.9}, {1.0, 0.15, 0.75}, smoothstep(0.0, 60.0, depth));
  out = add(out, neon, (0.9 * line + 0.25 * glow) * fog);
  // Haze where the grid meets the horizon.
  out = add(out, {1.0, 0.4, 0.5}, 0.5 * std::exp(-depth / 4.0));
  return out;
}

// ---- the logo ----

struct Placed {
  StrokeText text;
  double left, baseline, unit, slant, radius;  // display units per glyph unit
};

// Glyph-space point of a picture point (x, Y).
Point to_glyph(const Placed& t, double x, double Y) {
  const double gy = (t.baseline - Y) / t.unit;
  return {(x - t.left) / t.unit - gy * t.slant, gy};
}

Placed place(const std::string& words, double spacing, double radius, double unit, double slant, double baseline) {
  Placed t{layout_text(words, spacing), 0, baseline, unit, slant, radius};
  const double width = (t.text.width + 2 * radius + 10.0 * slant) * unit;
  t.left = 160.0 - width / 2 + radius * unit;
  return t;
}

const Placed& logo() {
  static const Placed t = place("TARNWICK", 3.1, 1.3, 3.55, 0.18, 88.0);
  return t;
}

const Placed& byline() {
  static const Placed t = place("SLICK PRESENTS", 2.6, 0.42, 1.25, 0.0, 26.0);
  return t;
}

// Chrome: the environment seen in a surface of normal n at glyph height gy (0 bottom, 10 top).
Rgb chrome(double gy, double nx, double ny) {
  static const Stop sky_part[] = {{-0.4, {0.04, 0.10, 0.38}}, {0.25, {0.32, 0.58, 0.95}}, {0.53, {0.95, 0.98, 1.0}}};
  static const Stop ground_part[] = {{0.53, {0.22, 0.07, 0.03}},
                                     {0.62, {0.45, 0.16, 0.05}},
                                     {0.85, {0.95, 0.55, 0.15}},
                                     {1.3, {1.0, 0.93, 0.65}}};
  const double v = (1.0 - gy / 10.0) - ny * 0.55 + nx * 0.05;
  Rgb c = v < 0.53 ? gradient(sky_part, v) : gradient(ground_part, v);
  // A light from the upper left.
  const double lx = -0.45, ly = 0.55, lz = 0.70;
  const double nz = std::sqrt(std::max(0.0, 1.0 - nx * nx - ny * ny));
  const double hx = lx, hy = ly, hz = lz + 1.0;
  const double hl = std::sqrt(hx * hx + hy * hy + hz * hz);
  const double highlight = std::pow(std::max(0.0, (nx * hx + ny * hy + nz * hz) / hl), 40.0);
  return add(c, {1.0, 1.0, 1.0}, 0.9 * highlight);
}

Rgb draw_logo(double x, double Y, Rgb behind) {
  const Placed& t = logo();
  const Point p = to_glyph(t, x, Y);
  if (p.y < -4 || p.y > 14 || p.x < -6 || p.x > t.text.width + 6) return behind;
  const double d = text_distance(t.text, p, t.radius);

  // Drop shadow, then a magenta glow, then a dark outline, then the chrome.
  const double shadow = text_distance(t.text, {p.x - 0.45, p.y + 0.55}, t.radius);
  Rgb out = scale(behind, 1.0 - 0.55 * smoothstep(0.6, -0.2, shadow));
  out = add(out, {1.0, 0.25, 0.7}, 0.45 * std::exp(-std::max(0.0, d) / 0.9));
  const double px = 1.0 / t.unit;  // one display unit in glyph units
  const double outline = 0.42;
  out = mix(out, {0.02, 0.0, 0.07}, smoothstep(outline + px, outline, d));
  if (d >= px) return out;

  const double bevel = 0.55;
  const double e = 0.02;
  double gx = text_distance(t.text, {p.x + e, p.y}, t.radius) - text_distance(t.text, {p.x - e, p.y}, t.radius);
  double gy = text_distance(t.text, {p.x, p.y + e}, t.radius) - text_distance(t.text, {p.x, p.y - e}, t.radius);
  const double gl = std::sqrt(gx * gx + gy * gy);
  if (gl > 0) gx /= gl, gy /= gl;
  // The bevel leans outwards: strongly at the edge, flat from bevel inwards.
  const double s = std::clamp(-d / bevel, 0.0, 1.0);
  const double tilt = 0.85 * (1.0 - s * s);
  Rgb metal = chrome(p.y, gx * tilt, gy * tilt);
  // A fine bright line where the bevel meets the face.
  metal = add(metal, {1.0, 1.0, 1.0}, 0.25 * std::exp(-std::pow((-d - bevel) / 0.08, 2.0)));
  return mix(out, metal, smoothstep(px, -px, d));
}

Rgb draw_byline(double x, double Y, Rgb behind) {
  const Placed& t = byline();
  const Point p = to_glyph(t, x, Y);
  if (p.y < -8 || p.y > 18) return behind;
  const double d = text_distance(t.text, p, t.radius) * t.unit;  // display units
  Rgb out = add(behind, {0.2, 0.85, 1.0}, 0.55 * std::exp(-std::max(0.0, d) / 2.2));
  const Rgb core = {0.85, 1.0, 1.0};
  return mix(out, core, smoothstep(0.6, -0.4, d));
}

// A four-pointed glint.
Rgb glint(double x, double Y, double cx, double cY, double size, Rgb behind) {
  const double dx = std::abs(x - cx), dy = std::abs(Y - cY);
  const double rays = std::exp(-dx / size - dy * dy / 0.25) + std::exp(-dy / size - dx * dx / 0.25);
  const double core = std::exp(-(dx * dx + dy * dy) / (size * 0.8));
  return add(behind, {1.0, 0.95, 0.9}, 0.9 * rays + 0.8 * core);
}

Rgb title_point(double x, double Y) {
  Rgb c;
  if (Y < horizon) {
    c = sky(Y);
    c = add(c, {0.9, 0.9, 1.0}, star_light(x, Y));
    c = sun_disc(x, Y, c);
    c = mountains(x, Y, c);
  } else {
    c = ground(x, Y);
  }
  c = draw_byline(x, Y, c);
  c = draw_logo(x, Y, c);
  // Glints on the chrome: the top of the T and the foot of the K.
  const Placed& t = logo();
  auto at = [&t](double gx, double gy) {
    return Point{t.left + (gx + gy * t.slant) * t.unit, t.baseline - gy * t.unit};
  };
  const Point g1 = at(0.2, 10.6), g2 = at(t.text.width - 0.6, 0.2);
  c = glint(x, Y, g1.x, g1.y, 9.0, c);
  c = glint(x, Y, g2.x, g2.y, 6.0, c);
  return c;
}

}  // namespace

std::vector<Rgb> paint_title() {
  std::vector<Rgb> picture(picture_width * picture_height);
  constexpr int samples = 4;  // per axis
  for (int y = 0; y < picture_height; ++y) {
    for (int x = 0; x < picture_width; ++x) {
      Rgb sum;
      for (int sy = 0; sy < samples; ++sy)
        for (int sx = 0; sx < samples; ++sx) {
          const double px = x + (sx + 0.5) / samples, py = y + (sy + 0.5) / samples;
          sum = add(sum, title_point(px, py * aspect), 1.0);
        }
      picture[y * picture_width + x] = scale(sum, 1.0 / (samples * samples));
    }
  }
  return picture;
}

}  // namespace splash
