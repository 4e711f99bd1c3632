// The caption overlay: glyphs measured from the font picture, pen advances, transparency and
// the show's caption table.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "scenes/captions/captions.h"
#include "scenes/common/effect.h"

namespace {

constexpr int widths[26] = {20, 20, 20, 20, 18, 18, 18, 18, 9,  19, 18, 18, 24,
                            22, 22, 18, 18, 18, 18, 20, 22, 22, 24, 22, 25, 20};
constexpr int marker_columns[26] = {21,  42,  63,  84,  103, 122, 141, 160, 170, 190, 209, 228, 253,
                                    276, 299, 318, 337, 356, 375, 396, 419, 442, 467, 490, 516, 537};

// Width of a text as the width table gives it: letters, 20 for a space.
int text_width(const char* text) {
  int w = 0;
  for (; *text; ++text) w += *text == ' ' ? 20 : (*text >= 'A' && *text <= 'Z') ? widths[*text - 'A'] : 0;
  return w;
}

uint8_t font_at(int column, int row) { return font_picture[row * font_width + column]; }

class Captions : public ::testing::Test {
 protected:
  void SetUp() override {
    caption_init();
    saved_group_ = caption_group;
    frame_.assign(frame_size, background);
  }
  void TearDown() override { caption_group = saved_group_; }

  // Bounding box of the pixels that differ from the background; false when none does.
  bool changed_box(int* top, int* left, int* bottom, int* right) const {
    *top = *left = 1 << 20;
    *bottom = *right = -1;
    for (int i = 0; i < frame_size; ++i) {
      if (frame_[i] == background) continue;
      *top = std::min(*top, i / screen_width);
      *bottom = std::max(*bottom, i / screen_width);
      *left = std::min(*left, i % screen_width);
      *right = std::max(*right, i % screen_width);
    }
    return *bottom >= 0;
  }

  static constexpr uint8_t background = 77;
  std::vector<uint8_t> frame_;
  int32_t saved_group_ = 0;
};

}  // namespace

TEST_F(Captions, GlyphWidthsAndOffsetsFromTheMarkers) {
  int start = 1;
  for (int i = 0; i < 26; ++i) {
    EXPECT_EQ(glyph_table[i].width, widths[i]) << char('A' + i);
    EXPECT_EQ(glyph_table[i].offset, 2 * font_width + start) << char('A' + i);
    start = marker_columns[i] + 1;
  }
}

TEST_F(Captions, PenAdvances) {
  uint8_t* origin = frame_.data() + 50 * screen_width + 40;
  EXPECT_EQ(caption_text(origin, "I") - origin, 9);
  EXPECT_EQ(caption_text(origin, "Y") - origin, 25);
  EXPECT_EQ(caption_text(origin, " ") - origin, 20);
  EXPECT_EQ(caption_text(origin, "") - origin, 0);
  EXPECT_EQ(caption_text(origin, "T A R N W I C K") - origin, 291);
  EXPECT_EQ(caption_text(origin, "WE ARE THE SLICK") - origin, 297);
}

TEST_F(Captions, OtherCharactersAreSkipped) {
  std::vector<uint8_t> plain(frame_size, background);
  uint8_t* a = plain.data() + 20 * screen_width + 20;
  uint8_t* b = frame_.data() + 20 * screen_width + 20;
  const ptrdiff_t plain_advance = caption_text(a, "AB C") - a;
  const ptrdiff_t odd_advance = caption_text(b,
                                             "a1A\x7f"
                                             "B-\xff C!") -
                                b;
  EXPECT_EQ(plain_advance, odd_advance);
  EXPECT_EQ(plain, frame_);
}

TEST_F(Captions, ZeroPixelsAreTransparent) {
  const int row = 30, column = 100;
  caption_text(frame_.data() + row * screen_width + column, "A");
  const Glyph a = glyph_table[0];
  int transparent = 0;
  for (int y = 0; y < 18; ++y) {
    for (int x = 0; x < a.width; ++x) {
      const uint8_t f = font_picture[a.offset + y * font_width + x];
      const uint8_t drawn = frame_[(row + y) * screen_width + column + x];
      if (f == 0) {
        EXPECT_EQ(drawn, background) << x << "," << y;
        ++transparent;
      } else {
        EXPECT_EQ(drawn, f) << x << "," << y;
      }
    }
  }
  EXPECT_GT(transparent, 0);
  int top, left, bottom, right;
  ASSERT_TRUE(changed_box(&top, &left, &bottom, &right));
  EXPECT_GE(top, row);
  EXPECT_LE(bottom, row + 17);
  EXPECT_GE(left, column);
  EXPECT_LT(right, column + 20);
}

TEST_F(Captions, NothingBeforeTheFirstCaptionEvent) {
  caption_group = 0;
  caption_draw(frame_.data());
  EXPECT_EQ(fx_frame, frame_.data());
  EXPECT_EQ(std::count(frame_.begin(), frame_.end(), background), frame_size);
}

TEST_F(Captions, EventsAdvanceOneGroupAndThePastEndDrawsNothing) {
  caption_group = 0;
  on_next_caption();
  EXPECT_EQ(caption_group, 1);
  for (int32_t group : {2, 4, 15, 17, 18, 1000}) {
    caption_group = group;
    caption_draw(frame_.data());
    EXPECT_EQ(std::count(frame_.begin(), frame_.end(), background), frame_size) << group;
  }
}

TEST_F(Captions, TheShowsCaptionTable) {
  struct Expected {
    int row, column;
    const char* text;
  };
  const std::vector<std::vector<Expected>> table = {
      {},
      {{180, 20, "DARNO"}},
      {},
      {{180, 225, "VRAK"}},
      {},
      {{90, 15, "T A R N W I C K"}},
      {{180, 10, "BIRTH"}},
      {{180, 10, "DRIFTING"}},
      {{180, 10, "FIGHT"}},
      {{180, 10, "FIGHT"}, {90, 50, "WEIRD MAGIC"}},
      {{180, 10, "FIGHT"}, {90, 60, "MOONPEOPLE"}},
      {{180, 10, "FIGHT"}, {90, 50, "THAUMATURGE"}},
      {{180, 10, "ENJOY"}},
      {{180, 10, "ESCAPING"}},
      {{90, 15, "T A R N W I C K"}},
      {},
      {{90, 12, "WE ARE THE SLICK"}},
      {},
  };
  ASSERT_EQ(caption_group_count, static_cast<int32_t>(table.size()));
  for (int32_t g = 0; g < caption_group_count; ++g) {
    const CaptionGroup& group = caption_groups[g];
    ASSERT_EQ(group.count, static_cast<int32_t>(table[g].size())) << "group " << g;
    for (int32_t i = 0; i < group.count; ++i) {
      const Expected& e = table[g][i];
      EXPECT_EQ(group.items[i].offset, e.row * 320 + e.column) << "group " << g << " item " << i;
      EXPECT_STREQ(group.items[i].text, e.text) << "group " << g << " item " << i;
    }
  }
}

TEST_F(Captions, EveryGroupDrawsInsideItsTextBoxesAndTheFrame) {
  for (int32_t g = 0; g < caption_group_count; ++g) {
    frame_.assign(frame_size, background);
    caption_group = g;
    caption_draw(frame_.data());
    const CaptionGroup& group = caption_groups[g];
    for (int i = 0; i < frame_size; ++i) {
      if (frame_[i] == background) continue;
      const int y = i / screen_width, x = i % screen_width;
      bool inside = false;
      for (int32_t k = 0; k < group.count; ++k) {
        const int row = group.items[k].offset / 320, column = group.items[k].offset % 320;
        inside |= y >= row && y < row + 18 && x >= column && x < column + text_width(group.items[k].text);
      }
      ASSERT_TRUE(inside) << "group " << g << " pixel " << x << "," << y;
      ASSERT_TRUE(frame_[i] == 1 || frame_[i] == 255) << "group " << g;
    }
    for (int32_t k = 0; k < group.count; ++k) {
      const int column = group.items[k].offset % 320;
      EXPECT_LE(column + text_width(group.items[k].text), screen_width) << "group " << g;
    }
  }
  // The widest caption ends at column 308.
  frame_.assign(frame_size, background);
  caption_group = 16;
  caption_draw(frame_.data());
  int top, left, bottom, right;
  ASSERT_TRUE(changed_box(&top, &left, &bottom, &right));
  EXPECT_GE(top, 90);
  EXPECT_LE(bottom, 107);
  EXPECT_GE(left, 12);
  EXPECT_LE(right, 308);
}

TEST_F(Captions, TitleAlternatesLettersAndSpaces) {
  caption_group = 5;
  caption_draw(frame_.data());
  // Columns of row 90..107 that hold ink, per character cell of "T A R N W I C K" from 15.
  int column = 15;
  for (const char* c = "T A R N W I C K"; *c; ++c) {
    const int w = *c == ' ' ? 20 : widths[*c - 'A'];
    int inked = 0;
    for (int y = 90; y < 108; ++y)
      for (int x = column; x < column + w; ++x) inked += frame_[y * screen_width + x] != background;
    if (*c == ' ') {
      EXPECT_EQ(inked, 0) << "space at " << column;
    } else {
      EXPECT_GT(inked, 40) << *c << " at " << column;
    }
    column += w;
  }
  EXPECT_EQ(column, 306);
}

TEST(FontPicture, MarkerColumnsRunFullHeight) {
  for (int x = 0; x < font_width; ++x) {
    const bool is_marker = std::find(std::begin(marker_columns), std::end(marker_columns), x) !=
                           std::end(marker_columns);
    for (int y = 0; y < font_height; ++y) {
      if (is_marker)
        ASSERT_EQ(font_at(x, y), 2) << x << "," << y;
      else
        ASSERT_NE(font_at(x, y), 2) << x << "," << y;
    }
  }
}

TEST(FontPicture, InkOnlyInRowsTwoToNineteenAndNotPastTheLastMarker) {
  for (int y = 0; y < font_height; ++y) {
    for (int x = 0; x < font_width; ++x) {
      const uint8_t v = font_at(x, y);
      ASSERT_TRUE(v == 0 || v == 1 || v == 2 || v == 255) << x << "," << y;
      if (v == 1 || v == 255) {
        ASSERT_GE(y, 2) << x;
        ASSERT_LE(y, 19) << x;
        ASSERT_GE(x, 1) << y;
        ASSERT_LE(x, 536) << y;
      }
    }
  }
}

TEST(FontPicture, EveryLetterIsABodyRingedByItsOutline) {
  int start = 1;
  for (int letter = 0; letter < 26; ++letter) {
    const int end = marker_columns[letter];
    int body = 0;
    for (int y = 2; y <= 19; ++y) {
      // Blank side columns keep neighbouring letters apart.
      EXPECT_EQ(font_at(start, y), 0) << char('A' + letter);
      EXPECT_EQ(font_at(end - 1, y), 0) << char('A' + letter);
      for (int x = start; x < end; ++x) {
        const uint8_t v = font_at(x, y);
        bool next_to_body = false, next_to_background = false;
        for (int dy = -1; dy <= 1; ++dy)
          for (int dx = -1; dx <= 1; ++dx) {
            const uint8_t n = font_at(x + dx, y + dy);
            next_to_body |= n == 255;
            next_to_background |= n == 0 || n == 2;
          }
        if (v == 255) {
          ++body;
          EXPECT_FALSE(next_to_background) << char('A' + letter) << " body open at " << x << "," << y;
        }
        if (v == 1) {
          EXPECT_TRUE(next_to_body) << char('A' + letter) << " stray outline at " << x << "," << y;
        }
      }
    }
    EXPECT_GT(body, 30) << char('A' + letter);
    start = end + 1;
  }
}

TEST(FontPicture, CapitalsStandOnOneBaseline) {
  // H: flat top and bottom, body rows 3..18 with the outline in rows 2 and 19.
  const int h_start = 142, h_end = 160;
  auto row_has = [&](int y, uint8_t value) {
    for (int x = h_start; x < h_end; ++x)
      if (font_at(x, y) == value) return true;
    return false;
  };
  EXPECT_TRUE(row_has(2, 1));
  EXPECT_FALSE(row_has(2, 255));
  EXPECT_TRUE(row_has(3, 255));
  EXPECT_TRUE(row_has(18, 255));
  EXPECT_TRUE(row_has(19, 1));
  EXPECT_FALSE(row_has(19, 255));
}
