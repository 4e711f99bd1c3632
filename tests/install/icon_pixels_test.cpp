// The desktop's icon PNGs: the window icon's pixels, in PNG byte order, enlarged without blur.
#include <gtest/gtest.h>

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

}  // namespace
