// Colour reduction for the title picture: median cut for a first palette, a few rounds of
// k-means to settle it, 6-bit components, then Floyd-Steinberg dithering.
#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>

#include "tools/datagen/splash/picture.h"

namespace splash {

namespace {

using Colour = std::array<double, 3>;  // 0..255

double distance2(const Colour& a, const Colour& b) {
  // Weighted towards green as the eye is; enough for choosing between near colours.
  const double dr = a[0] - b[0], dg = a[1] - b[1], db = a[2] - b[2];
  return 2.0 * dr * dr + 4.0 * dg * dg + 3.0 * db * db;
}

struct Box {
  std::vector<int> members;
  double error = 0;  // sum of squared distances from the mean
  int axis = 0;
};

Colour mean_of(const std::vector<Colour>& colours, const std::vector<int>& members) {
  Colour m = {0, 0, 0};
  for (int i : members)
    for (int c = 0; c < 3; ++c) m[c] += colours[i][c];
  for (double& v : m) v /= std::max<size_t>(1, members.size());
  return m;
}

void measure(const std::vector<Colour>& colours, Box* box) {
  const Colour m = mean_of(colours, box->members);
  Colour spread = {0, 0, 0};
  for (int i : box->members)
    for (int c = 0; c < 3; ++c) spread[c] += (colours[i][c] - m[c]) * (colours[i][c] - m[c]);
  box->error = spread[0] + spread[1] + spread[2];
  box->axis = static_cast<int>(std::max_element(spread.begin(), spread.end()) - spread.begin());
}

std::vector<Colour> median_cut(const std::vector<Colour>& colours, size_t count) {
  std::vector<Box> boxes(1);
  boxes[0].members.resize(colours.size());
  std::iota(boxes[0].members.begin(), boxes[0].members.end(), 0);
  measure(colours, &boxes[0]);
  while (boxes.size() < count) {
    const auto worst = std::max_element(boxes.begin(), boxes.end(),
                                        [](const Box& a, const Box& b) { return a.error < b.error; });
    if (worst->members.size() < 2 || worst->error <= 0) break;
    Box& box = *worst;
    const int axis = box.axis;
    std::stable_sort(box.members.begin(), box.members.end(),
                     [&](int a, int b) { return colours[a][axis] < colours[b][axis]; });
    Box upper;
    upper.members.assign(box.members.begin() + box.members.size() / 2, box.members.end());
    box.members.resize(box.members.size() / 2);
    measure(colours, &box);
    measure(colours, &upper);
    boxes.push_back(std::move(upper));
  }
  std::vector<Colour> palette;
  for (const Box& b : boxes) palette.push_back(mean_of(colours, b.members));
  while (palette.size() < count) palette.push_back({0, 0, 0});
  return palette;
}

int nearest(const std::vector<Colour>& palette, const Colour& c) {
  int best = 0;
  double best_d = distance2(palette[0], c);
  for (int i = 1; i < static_cast<int>(palette.size()); ++i) {
    const double d = distance2(palette[i], c);
    if (d < best_d) best_d = d, best = i;
  }
  return best;
}

void refine(const std::vector<Colour>& colours, std::vector<Colour>* palette, int rounds) {
  for (int round = 0; round < rounds; ++round) {
    std::vector<Colour> sum(palette->size(), {0, 0, 0});
    std::vector<int> count(palette->size(), 0);
    for (const Colour& c : colours) {
      const int i = nearest(*palette, c);
      for (int k = 0; k < 3; ++k) sum[i][k] += c[k];
      ++count[i];
    }
    for (size_t i = 0; i < palette->size(); ++i)
      if (count[i] > 0)
        for (int k = 0; k < 3; ++k) (*palette)[i][k] = sum[i][k] / count[i];
  }
}

}  // namespace

void quantize(const std::vector<Rgb>& picture, int width, uint8_t palette[768], std::vector<uint8_t>* indices) {
  std::vector<Colour> colours;
  colours.reserve(picture.size());
  for (const Rgb& p : picture)
    colours.push_back(
        {std::clamp(p.r, 0.0, 1.0) * 255.0, std::clamp(p.g, 0.0, 1.0) * 255.0, std::clamp(p.b, 0.0, 1.0) * 255.0});

  std::vector<Colour> chosen = median_cut(colours, 256);
  refine(colours, &chosen, 6);

  // Store as 6-bit components, darkest first; compare against what the screen will show.
  struct Entry {
    int r, g, b;
  };
  std::vector<Entry> entries;
  for (const Colour& c : chosen)
    entries.push_back({static_cast<int>(std::lround(c[0] * 63.0 / 255.0)),
                       static_cast<int>(std::lround(c[1] * 63.0 / 255.0)),
                       static_cast<int>(std::lround(c[2] * 63.0 / 255.0))});
  std::stable_sort(entries.begin(), entries.end(),
                   [](const Entry& a, const Entry& b) { return 2 * a.r + 4 * a.g + a.b < 2 * b.r + 4 * b.g + b.b; });
  std::vector<Colour> shown;
  for (size_t i = 0; i < entries.size(); ++i) {
    palette[3 * i] = static_cast<uint8_t>(entries[i].r);
    palette[3 * i + 1] = static_cast<uint8_t>(entries[i].g);
    palette[3 * i + 2] = static_cast<uint8_t>(entries[i].b);
    shown.push_back({entries[i].r * 255.0 / 63.0, entries[i].g * 255.0 / 63.0, entries[i].b * 255.0 / 63.0});
  }

  // Floyd-Steinberg, serpentine.
  const int height = static_cast<int>(picture.size()) / width;
  indices->assign(picture.size(), 0);
  for (int y = 0; y < height; ++y) {
    const bool forward = y % 2 == 0;
    for (int k = 0; k < width; ++k) {
      const int x = forward ? k : width - 1 - k;
      const int i = y * width + x;
      Colour c = colours[i];
      for (double& v : c) v = std::clamp(v, 0.0, 255.0);
      const int index = nearest(shown, c);
      (*indices)[i] = static_cast<uint8_t>(index);
      const int step = forward ? 1 : -1;
      const std::array<std::array<int, 2>, 4> where = {{{1, 0}, {-1, 1}, {0, 1}, {1, 1}}};
      const std::array<double, 4> weight = {7.0 / 16, 3.0 / 16, 5.0 / 16, 1.0 / 16};
      for (int n = 0; n < 4; ++n) {
        const int xx = x + where[n][0] * step, yy = y + where[n][1];
        if (xx < 0 || xx >= width || yy >= height) continue;
        for (int ch = 0; ch < 3; ++ch) colours[yy * width + xx][ch] += (c[ch] - shown[index][ch]) * weight[n];
      }
    }
  }
}

}  // namespace splash
