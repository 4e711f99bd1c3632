// Writes scroll.bin and scroll.pal: the closing credits and greetings that rise over the turning
// sphere, and the palette they are shown in. Index 0 lets the sphere through and higher indices
// cover it more, so each letter is its coverage scaled to a bright body (a soft dark-to-bright
// edge) over a faint halo; the background stays 0. The last screenful (rows 1527..1727) is the
// final image: the group's name.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/datagen/common/emit_source.h"
#include "tools/datagen/common/palette_ramp.h"
#include "tools/datagen/scroll/scroll_font.h"

namespace {

constexpr int width = 320;
constexpr int height = 1728;
constexpr int centre = 160;
constexpr int visible_left = 32;  // the side bars cover columns 0..31 and 288..319
constexpr int visible_right = 288;
constexpr int final_top = 1527;  // the picture stops with this row at the top of the screen

enum Size { small, medium, large, huge };

// How a line looks: its body brightness at the top and at the baseline, and extra spacing.
// The scroller moves the picture between rows on the high four bits of each index only, so a
// body keeps one high nibble (its brightness varies only within those 16 values): a body
// crossing a nibble would show a flickering line wherever its nibble steps.
struct Style {
  Size size;
  double top_peak, base_peak;
  int tracking;
};

constexpr Style label{small, 191, 176, 3};
constexpr Style name{medium, 255, 240, 0};
constexpr Style text{small, 239, 224, 0};
constexpr Style heading{large, 255, 240, 2};
constexpr Style logo{huge, 255, 240, 5};

struct Canvas {
  std::vector<double> body = std::vector<double>(width * height, 0.0);
  std::vector<double> ink = std::vector<double>(width * height, 0.0);
};

int glyph_field(Size size, int index, scroll_font::Field field) {
  return scroll_font::glyphs[(size * scroll_font::character_count + index) * scroll_font::field_count + field];
}

int character_index(char c) {
  for (int i = 0; i < scroll_font::character_count; ++i)
    if (scroll_font::characters[i] == c) return i;
  return 0;  // unknown characters print as a space
}

int text_width(const Style& style, const std::string& line) {
  int w = 0;
  for (char c : line) w += glyph_field(style.size, character_index(c), scroll_font::advance) + style.tracking;
  return w - style.tracking;
}

// Draws one centred line with its baseline on row baseline; returns false if it does not fit.
bool draw_line(Canvas& canvas, const Style& style, const std::string& line, int baseline) {
  const int w = text_width(style, line);
  int pen = centre - w / 2;
  if (pen < visible_left || pen + w > visible_right) return false;
  const int ascent = scroll_font::line_metrics[style.size * 2];
  for (char c : line) {
    const int g = character_index(c);
    const int gw = glyph_field(style.size, g, scroll_font::width);
    const int gh = glyph_field(style.size, g, scroll_font::height);
    const int x0 = pen + glyph_field(style.size, g, scroll_font::left);
    const int y0 = baseline - glyph_field(style.size, g, scroll_font::top);
    const uint8_t* cover = scroll_font::pixels + glyph_field(style.size, g, scroll_font::offset);
    for (int y = 0; y < gh; ++y) {
      const int py = y0 + y;
      if (py < 0 || py >= height) return false;
      // Brightest at the top of the line, darker towards the baseline: a cold chrome.
      const double along = std::clamp((py - (baseline - ascent)) / double(ascent), 0.0, 1.0);
      const double peak = style.top_peak + (style.base_peak - style.top_peak) * along;
      for (int x = 0; x < gw; ++x) {
        const int px = x0 + x;
        if (px < 0 || px >= width) continue;
        const double a = cover[y * gw + x] / 255.0;
        // Smooth the coverage so that edges fall off softly rather than linearly.
        const double soft = a * a * (3 - 2 * a);
        double& b = canvas.body[py * width + px];
        b = std::max(b, soft * peak);
        double& k = canvas.ink[py * width + px];
        k = std::max(k, a);
      }
    }
    pen += glyph_field(style.size, g, scroll_font::advance) + style.tracking;
  }
  return true;
}

// A faint halo: the ink blurred (box blur, radius 2, twice), kept below the letters' edges.
void add_halo(Canvas& canvas, double strength) {
  std::vector<double> a = canvas.ink, b(a.size());
  for (int pass = 0; pass < 2; ++pass) {
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        double s = 0;
        for (int d = -2; d <= 2; ++d) s += a[y * width + std::clamp(x + d, 0, width - 1)];
        b[y * width + x] = s / 5;
      }
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        double s = 0;
        for (int d = -2; d <= 2; ++d) s += b[std::clamp(y + d, 0, height - 1) * width + x];
        a[y * width + x] = s / 5;
      }
  }
  for (size_t i = 0; i < a.size(); ++i) canvas.body[i] = std::max(canvas.body[i], strength * a[i]);
}

struct Entry {
  const Style* style;
  const char* text;
  int space_before;  // rows between the previous baseline and this one
};

// The credits, top to bottom. The first screenful is empty so the text rises in from below.
const Entry credits[] = {
    {&heading, "TARNWICK", 230},
    {&text, "a slick production", 30},
    {&label, "CODE", 70},
    {&name, "Darno", 30},
    {&label, "GRAPHICS", 50},
    {&name, "Vrak", 30},
    {&label, "MUSIC", 50},
    {&name, "Vrak & Darno", 30},
    {&label, "LETTERS", 50},
    {&text, "DejaVu Sans Bold", 26},
    {&label, "FACE", 50},
    {&text, "a NASA portrait", 26},
    {&heading, "GREETINGS", 100},
    {&name, "Moonpeople", 52},
    {&name, "Weird Magic", 32},
    {&name, "Thaumaturge", 32},
    {&name, "Halcyon Drift", 32},
    {&name, "Ferric Oxide", 32},
    {&name, "Noctiluca", 32},
    {&name, "Pale Circuit", 32},
    {&name, "Saltmarsh", 32},
    {&name, "Kestrel Crew", 32},
    {&name, "Umbra Nine", 32},
    {&name, "Cobalt Tide", 32},
    {&text, "and everyone who still", 44},
    {&text, "sets their own pixels", 22},
    {&text, "every pixel of this show", 90},
    {&text, "was worked out in integers", 22},
    {&heading, "THANK YOU", 100},
    {&text, "for watching", 30},
};

// The image that stays: the name large above the middle band, where the last caption appears
// (screen rows 90..107), and a quiet line below it.
const Entry final_screen[] = {
    {&logo, "SLICK", final_top + 80},
    {&label, "T A R N W I C K", 62},
    {&text, "see you at the next party", 26},
};

bool lay_out(Canvas& canvas, const Entry* entries, int count, int baseline, int limit) {
  for (int i = 0; i < count; ++i) {
    baseline += entries[i].space_before;
    if (baseline >= limit || !draw_line(canvas, *entries[i].style, entries[i].text, baseline)) {
      std::fprintf(stderr, "make-scroll: line \"%s\" does not fit\n", entries[i].text);
      return false;
    }
  }
  return true;
}

// The sphere's colours, then through pale cyan to a warm white for the letters' bodies.
std::vector<uint8_t> scroll_palette() {
  return datagen::sea_palette([](int i, int k) {
    const double pale[3] = {40, 55, 59};
    const double white[3] = {63, 63, 60};
    const double* blue = datagen::sea_blue;
    if (i <= 232) return blue[k] + (pale[k] - blue[k]) * (i - datagen::sea_top) / 24.0;
    return pale[k] + (white[k] - pale[k]) * (i - 232) / 23.0;
  });
}

}  // namespace

int main(int argc, char** argv) {
  if (!datagen::arguments_fit(argc, 3, "make-scroll SCROLL.BIN SCROLL.PAL")) return 2;
  Canvas canvas;
  if (!lay_out(canvas, credits, sizeof credits / sizeof credits[0], 0, final_top - 40) ||
      !lay_out(canvas, final_screen, sizeof final_screen / sizeof final_screen[0], 0, height))
    return 1;
  add_halo(canvas, 70);
  std::vector<uint8_t> picture(width * height);
  for (int i = 0; i < width * height; ++i) {
    picture[i] = static_cast<uint8_t>(std::clamp(std::lround(canvas.body[i]), 0L, 255L));
  }
  return datagen::write_bytes(argv[1], picture) && datagen::write_bytes(argv[2], scroll_palette()) ? 0 : 1;
}
