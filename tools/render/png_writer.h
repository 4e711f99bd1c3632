// PNG pictures written for tarnwick-render's frames.
#pragma once
#include <cstdint>
#include <string>

// Writes an 8-bit RGB picture (3 bytes a pixel, rows tightly packed); false on failure.
bool write_png_rgb(const std::string& path, int32_t width, int32_t height, const uint8_t* rgb);
