// The show's icon as the RGBA bytes of a PNG, at the sizes a desktop's icon theme asks for.
#pragma once
#include <cstdint>
#include <vector>

// `argb` is a square picture of `size` pixels a side in 0xAARRGGBB (straight alpha); the result
// is RGBA bytes, row by row, each pixel repeated `scale` times in both directions (sharp edges
// suit a 32-pixel emblem better than smoothing). Empty when size or scale is not positive.
std::vector<uint8_t> icon_rgba(const uint32_t* argb, int32_t size, int32_t scale);

// The same round emblem for a phone's home screen, which cuts its own shape out of the icon: an
// opaque square of `side` pixels, black around the emblem, which is laid over black at the
// largest whole scale that keeps it inside the central circle of 80 % every mask leaves whole.
// Empty when the emblem does not fit even at scale 1.
std::vector<uint8_t> icon_rgba_maskable(const uint32_t* argb, int32_t size, int32_t side);
