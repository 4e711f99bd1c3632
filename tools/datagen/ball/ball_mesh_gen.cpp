// The spiked ball: a sphere of radius 100 with twelve spikes along the directions of a cube's edge
// midpoints (so no coordinate passes 236 although the tips reach radius 333). Each spike is a
// tapering hexagonal shaft, the swept-back underside of an arrow head and its pointed top.
//
// The sphere's surface is the convex hull of evenly spread points, which is a well-shaped
// triangulation of them. Each spike's base is a ring of six hull points around a centre point
// that nothing else comes near; the centre's fan of triangles is then replaced by the spike.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <set>
#include <utility>

#include "tools/datagen/ball/ball_data_gen.h"

namespace datagen {
namespace {

struct Vec {
  double x, y, z;
};
Vec operator+(Vec a, Vec b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec operator-(Vec a, Vec b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec operator*(Vec a, double s) { return {a.x * s, a.y * s, a.z * s}; }
double dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec cross(Vec a, Vec b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
Vec unit(Vec a) { return a * (1.0 / std::sqrt(dot(a, a))); }

constexpr double sphere_radius = 100.0;
constexpr int spike_count = 12;
constexpr int ring_size = 6;
// Spike profile: (distance from the spike's axis, height above the ball's centre).
constexpr double base_radius = 30.0;                       // where the spike leaves the ball
constexpr double shaft_radius = 11.0, shaft_top = 250.0;   // the shaft ends under the head
constexpr double barb_radius = 36.0, barb_height = 226.0;  // the head's back edge, swept back
constexpr double tip_height = 333.0;
constexpr int spike_vertices = 3 * ring_size + 1;  // base ring, shaft ring, barb ring, tip
constexpr int fill_count = ball_vertex_count - spike_count * spike_vertices;
// No spread point comes nearer a spike's centre than this many base-ring radii: the base ring
// then surely forms the centre's whole fan in the hull.
constexpr double keep_out = 1.45;
constexpr int relax_rounds = 600;

struct Spike {
  Vec axis, across, along;  // unit axis and two unit vectors across it
};

// Directions (±1, ±1, 0) and their permutations; "across" is the axis the direction lacks, so
// every ring sits the same way round its spike.
std::vector<Spike> make_spikes() {
  std::vector<Spike> spikes;
  for (int zero = 0; zero < 3; ++zero) {
    for (int sa = 1; sa >= -1; sa -= 2) {
      for (int sb = 1; sb >= -1; sb -= 2) {
        double c[3] = {0, 0, 0};
        c[(zero + 1) % 3] = sa;
        c[(zero + 2) % 3] = sb;
        double e[3] = {0, 0, 0};
        e[zero] = 1;
        Spike s;
        s.axis = unit({c[0], c[1], c[2]});
        s.across = {e[0], e[1], e[2]};
        s.along = cross(s.axis, s.across);
        spikes.push_back(s);
      }
    }
  }
  return spikes;
}

Vec ring_point(const Spike& s, int j, double radius, double height) {
  const double angle = 2.0 * M_PI * j / ring_size;
  return s.axis * height + (s.across * std::cos(angle) + s.along * std::sin(angle)) * radius;
}

// Pushes a unit vector out of every spike's keep-out cap, along the great circle from the axis.
Vec keep_clear(Vec p, const std::vector<Spike>& spikes, double cap_cos) {
  const double cap_sin = std::sqrt(1.0 - cap_cos * cap_cos);
  for (const Spike& s : spikes) {
    const double c = dot(p, s.axis);
    if (c > cap_cos) p = s.axis * cap_cos + unit(p - s.axis * c) * cap_sin;
  }
  return p;
}

// Evenly spread unit vectors outside the caps: a spiral start, then short-range repulsion
// among themselves and from the fixed base-ring points.
std::vector<Vec> spread_points(const std::vector<Spike>& spikes, const std::vector<Vec>& fixed) {
  const double ring_angle = std::asin(base_radius / sphere_radius);
  const double cap_cos = std::cos(keep_out * ring_angle);
  const double free_area = 4.0 * M_PI - spike_count * 2.0 * M_PI * (1.0 - cap_cos);
  const double spacing = std::sqrt(free_area / (fill_count + fixed.size() / 2.0) * 2.0 / std::sqrt(3.0));
  const double reach = 1.8 * spacing;

  std::vector<Vec> points(fill_count);
  const double golden = M_PI * (3.0 - std::sqrt(5.0));
  for (int i = 0; i < fill_count; ++i) {
    const double z = 1.0 - (2.0 * i + 1.0) / fill_count;
    const double r = std::sqrt(1.0 - z * z);
    points[i] = keep_clear({r * std::cos(golden * i), r * std::sin(golden * i), z}, spikes, cap_cos);
  }
  std::vector<Vec> moved(fill_count);
  for (int round = 0; round < relax_rounds; ++round) {
    const double step = 0.02 * spacing * (1.0 - 0.8 * round / relax_rounds);
    for (int i = 0; i < fill_count; ++i) {
      Vec force = {0, 0, 0};
      auto push = [&](Vec q) {
        const Vec d = points[i] - q;
        const double l = std::sqrt(dot(d, d));
        if (l < reach && l > 0) force = force + d * ((reach - l) / (reach * l));
      };
      for (int j = 0; j < fill_count; ++j)
        if (j != i) push(points[j]);
      for (const Vec& q : fixed) push(q);
      force = force - points[i] * dot(force, points[i]);
      moved[i] = keep_clear(unit(points[i] + force * step * 10.0), spikes, cap_cos);
    }
    points.swap(moved);
  }
  return points;
}

using Triangle = std::array<int, 3>;

// Incremental convex hull of points on a sphere, inserted in the given order (the first four
// far apart); faces wound counter-clockwise seen from outside. A point coplanar with a face does
// not see it, so flat spots stay whole.
bool convex_hull(const std::vector<Vec>& p, const std::vector<int>& order, std::vector<Triangle>* hull,
                 std::string* error) {
  const double eps = 1e-12;
  auto height = [&](const Triangle& t, Vec q) { return dot(cross(p[t[1]] - p[t[0]], p[t[2]] - p[t[0]]), q - p[t[0]]); };
  const int a = order[0], b = order[1], c = order[2], d = order[3];
  std::vector<Triangle> faces = {{a, b, c}, {a, d, b}, {b, d, c}, {a, c, d}};
  const Vec middle = (p[a] + p[b] + p[c] + p[d]) * 0.25;
  for (Triangle& t : faces)
    if (height(t, middle) > 0) std::swap(t[1], t[2]);
  for (size_t k = 4; k < order.size(); ++k) {
    const int n = order[k];
    std::set<std::pair<int, int>> seen_edges;
    std::vector<Triangle> kept;
    for (const Triangle& t : faces) {
      if (height(t, p[n]) > eps) {
        for (int e = 0; e < 3; ++e) seen_edges.insert({t[e], t[(e + 1) % 3]});
      } else {
        kept.push_back(t);
      }
    }
    if (seen_edges.empty()) {
      *error = "hull: point " + std::to_string(n) + " lies inside";
      return false;
    }
    for (const auto& [from, to] : seen_edges)
      if (!seen_edges.count({to, from})) kept.push_back({from, to, n});
    faces.swap(kept);
  }
  for (const Triangle& t : faces) {
    for (const Vec& q : p) {
      if (height(t, q) > 1e-9) {
        *error = "hull: not convex";
        return false;
      }
    }
  }
  *hull = faces;
  return true;
}

int16_t to_coordinate(double v) { return static_cast<int16_t>(std::lround(v)); }

}  // namespace

bool build_ball_mesh(BallMesh* mesh, std::string* error) {
  const std::vector<Spike> spikes = make_spikes();
  const double ring_height = std::sqrt(sphere_radius * sphere_radius - base_radius * base_radius);

  // Unit points of the sphere: the base rings, the spread points, then the spike centres.
  std::vector<Vec> rings;
  for (const Spike& s : spikes)
    for (int j = 0; j < ring_size; ++j)
      rings.push_back(ring_point(s, j, base_radius, ring_height) * (1.0 / sphere_radius));
  std::vector<Vec> points = spread_points(spikes, rings);
  const int ring_start = static_cast<int>(points.size());
  points.insert(points.end(), rings.begin(), rings.end());
  const int centre_start = static_cast<int>(points.size());
  for (const Spike& s : spikes) points.push_back(s.axis);

  // Two opposite poles and two points between them start the hull; each spike's centre goes in
  // before its ring so that no three ring points ever form a face.
  std::vector<int> order = {0, fill_count - 1, fill_count / 3, 2 * fill_count / 3};
  for (int i = 1; i < fill_count - 1; ++i)
    if (i != fill_count / 3 && i != 2 * fill_count / 3) order.push_back(i);
  for (int k = 0; k < spike_count; ++k) {
    order.push_back(centre_start + k);
    for (int j = 0; j < ring_size; ++j) order.push_back(ring_start + k * ring_size + j);
  }
  std::vector<Triangle> hull;
  if (!convex_hull(points, order, &hull, error)) return false;

  mesh->vertices.clear();
  mesh->faces.clear();
  for (int i = 0; i < centre_start; ++i) {
    const Vec v = points[i] * sphere_radius;
    mesh->vertices.push_back({to_coordinate(v.x), to_coordinate(v.y), to_coordinate(v.z)});
  }
  auto add_face = [&](int a, int b, int c) {
    mesh->faces.push_back({static_cast<uint16_t>(a), static_cast<uint16_t>(b), static_cast<uint16_t>(c)});
  };
  // The ball: every hull face but the spike centres' fans.
  std::vector<std::vector<int>> next_on_ring(spike_count, std::vector<int>(ring_size, -1));
  for (const Triangle& t : hull) {
    int centre = -1;
    for (int e = 0; e < 3; ++e)
      if (t[e] >= centre_start) centre = e;
    if (centre < 0) {
      add_face(t[0], t[1], t[2]);
      continue;
    }
    const int spike = t[centre] - centre_start;
    const int a = t[(centre + 1) % 3] - ring_start - spike * ring_size;
    const int b = t[(centre + 2) % 3] - ring_start - spike * ring_size;
    if (a < 0 || a >= ring_size || b < 0 || b >= ring_size) {
      *error = "a spike's base is not its ring";
      return false;
    }
    next_on_ring[spike][a] = b;
  }
  // The spikes, each ring in the order its fan went round (counter-clockwise from outside).
  for (int k = 0; k < spike_count; ++k) {
    const Spike& s = spikes[k];
    const int base = ring_start + k * ring_size;
    const int shaft = static_cast<int>(mesh->vertices.size());
    const int barb = shaft + ring_size;
    const int tip = barb + ring_size;
    for (int j = 0; j < ring_size; ++j) {
      const Vec v = ring_point(s, j, shaft_radius, shaft_top);
      mesh->vertices.push_back({to_coordinate(v.x), to_coordinate(v.y), to_coordinate(v.z)});
    }
    for (int j = 0; j < ring_size; ++j) {
      const Vec v = ring_point(s, j, barb_radius, barb_height);
      mesh->vertices.push_back({to_coordinate(v.x), to_coordinate(v.y), to_coordinate(v.z)});
    }
    const Vec t = s.axis * tip_height;
    mesh->vertices.push_back({to_coordinate(t.x), to_coordinate(t.y), to_coordinate(t.z)});
    int j = 0;
    for (int step = 0; step < ring_size; ++step) {
      const int n = next_on_ring[k][j];
      if (n < 0) {
        *error = "a spike's base ring is open";
        return false;
      }
      // Ring to ring, the quad (lower j, lower n, upper n, upper j) as two triangles.
      add_face(base + j, base + n, shaft + n);
      add_face(base + j, shaft + n, shaft + j);
      add_face(shaft + j, shaft + n, barb + n);
      add_face(shaft + j, barb + n, barb + j);
      add_face(barb + j, barb + n, tip);
      j = n;
    }
    if (j != 0) {
      *error = "a spike's base ring is not one loop";
      return false;
    }
  }
  const std::string problem = check_ball_mesh(*mesh);
  if (!problem.empty()) {
    *error = problem;
    return false;
  }
  return true;
}

}  // namespace datagen
