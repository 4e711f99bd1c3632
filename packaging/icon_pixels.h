#pragma once
// The show's icon as the RGBA bytes of a PNG, at the sizes a desktop's icon theme asks for.
#include <cstdint>
#include <vector>

// `argb` is a square picture of `size` pixels a side in 0xAARRGGBB (straight alpha); the result
// is RGBA bytes, row by row, each pixel repeated `scale` times in both directions (sharp edges
// suit a 32-pixel emblem better than smoothing). Empty when size or scale is not positive.
std::vector<uint8_t> icon_rgba(const uint32_t* argb, int32_t size, int32_t scale);
