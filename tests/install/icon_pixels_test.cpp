// The desktop's icon PNGs: the window icon's pixels, in PNG byte order, enlarged without blur.
#include <gtest/gtest.h>

#include <utility>

#include "packaging/icon_pixels.h"
#include "resources/resources.h"

namespace {

TEST(IconPixels, ChannelsComeOutInRgbaOrderWithStraightAlpha) {
  const uint32_t argb[4] = {0x80112233, 0x00000000, 0xFFFFFFFF, 0x01FE0102};
  const std::vector<uint8_t> rgba = icon_rgba(argb, 2, 1);
  const std::vector<uint8_t> expected = {0x11, 0x22, 0x33, 0x80, 0,    0,    0,    0,
                                         0xFF, 0xFF, 0xFF, 0xFF, 0xFE, 0x01, 0x02, 0x01};
  EXPECT_EQ(rgba, expected);
}

TEST(IconPixels, EnlargingRepeatsEachPixelAsABlock) {
  const uint32_t argb[4] = {0xFF000001, 0xFF000002, 0xFF000003, 0xFF000004};
  const std::vector<uint8_t> rgba = icon_rgba(argb, 2, 3);
  ASSERT_EQ(rgba.size(), 6u * 6u * 4u);
  for (int y = 0; y < 6; ++y) {
    for (int x = 0; x < 6; ++x) {
      const int source = (y / 3) * 2 + x / 3;
      EXPECT_EQ(rgba[(y * 6 + x) * 4 + 2], source + 1) << x << "," << y;
    }
  }
}

TEST(IconPixels, TheShowsIconKeepsItsPixelsAtEverySize) {
  for (int32_t scale : {1, 2, 8}) {
    const std::vector<uint8_t> rgba = icon_rgba(iconbig, iconbig_size, scale);
    const int32_t side = iconbig_size * scale;
    ASSERT_EQ(rgba.size(), static_cast<size_t>(side * side * 4));
    // The last pixel of the picture comes from the icon's last pixel, the centre from the centre.
    EXPECT_EQ(rgba[rgba.size() - 1], iconbig[iconbig_size * iconbig_size - 1] >> 24);
    const size_t centre = (static_cast<size_t>(side / 2) * side + side / 2) * 4;
    EXPECT_EQ(rgba[centre + 3], iconbig[16 * iconbig_size + 16] >> 24) << scale;
  }
}

TEST(IconPixels, NoPictureForANonPositiveSize) {
  EXPECT_TRUE(icon_rgba(iconbig, 0, 1).empty());
  EXPECT_TRUE(icon_rgba(iconbig, iconbig_size, 0).empty());
  EXPECT_TRUE(icon_rgba(iconbig, iconbig_size, -2).empty());
}

TEST(IconPixels, TheMaskableIconIsOpaqueWithTheEmblemInsideTheSafeCircle) {
  // 180 px: scale 4 (128 px), 192: 4, 512: 12 (384 px); an 80 % circle of 512 is 409.6 px wide.
  for (const auto& [side, scale] : {std::pair{180, 4}, std::pair{192, 4}, std::pair{512, 12}}) {
    const std::vector<uint8_t> rgba = icon_rgba_maskable(iconbig, iconbig_size, side);
    ASSERT_EQ(rgba.size(), static_cast<size_t>(side * side * 4));
    const int offset = (side - iconbig_size * scale) / 2;
    int64_t lit = 0;
    for (int y = 0; y < side; ++y) {
      for (int x = 0; x < side; ++x) {
        const uint8_t* p = &rgba[(static_cast<size_t>(y) * side + x) * 4];
        ASSERT_EQ(p[3], 255) << side << ": " << x << "," << y;
        const bool inside = x >= offset && y >= offset && x < offset + iconbig_size * scale &&
                            y < offset + iconbig_size * scale;
        uint32_t expected = 0;
        if (inside) {
          // The icon's pixel over black, each channel rounded.
          const uint32_t c = iconbig[((y - offset) / scale) * iconbig_size + (x - offset) / scale];
          const uint32_t a = c >> 24;
          expected = (((c >> 16 & 255) * a + 127) / 255) << 16 | (((c >> 8 & 255) * a + 127) / 255) << 8 |
                     ((c & 255) * a + 127) / 255;
        }
        const uint32_t got = static_cast<uint32_t>(p[0]) << 16 | p[1] << 8 | p[2];
        ASSERT_EQ(got, expected) << side << ": " << x << "," << y;
        if (got == 0) continue;
        ++lit;
        // Every lit pixel's centre lies within the circle of 40 % of the side.
        const int64_t dx = 2 * x + 1 - side, dy = 2 * y + 1 - side;
        EXPECT_LE(25 * (dx * dx + dy * dy), 16 * int64_t{side} * side) << side << ": " << x << "," << y;
      }
    }
    EXPECT_GT(lit, int64_t{side} * side / 4) << side;
  }
  EXPECT_TRUE(icon_rgba_maskable(iconbig, iconbig_size, 39).empty());
  EXPECT_EQ(icon_rgba_maskable(iconbig, iconbig_size, 40).size(), 40u * 40u * 4u);
}

}  // namespace
